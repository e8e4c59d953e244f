// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_SOURCE_H
#define SIMULATED_ERROR_INPUT_SOURCE_H

#include "reading_choice.h"

// An input read the way that suits what it is (see reading_choice.h), so that
// exactly the bytes a reader used leave it. Where a way is refused before
// any byte has left the input, the way chosen after it takes over.
class InputSource
{
public:
    explicit InputSource(int fd);

    // As InputReader::look, but never refused.
    qsizetype look(char *data, qsizetype size);
    void take(qsizetype count) { m_reading.reader->take(count); }

private:
    int m_fd;
    Reading m_reading;
};

#endif
