// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_SEEK_BACK_READER_H
#define SIMULATED_ERROR_SEEK_BACK_READER_H

#include "input_reader.h"

// Reads a file ahead and gives back what the caller did not use by moving the
// file's position back.
class SeekBackReader final : public InputReader
{
public:
    explicit SeekBackReader(int fd) : InputReader(Looking::leavesBytes), m_fd(fd) {}

    // Refused where the input refuses a read for its size or alignment.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    int m_fd;
    qsizetype m_looked = 0;
};

// What each system supplies for it, on the C runtime's descriptor fd:

// Reads up to size bytes at the position and moves it past them. Returns
// their number, 0 at the end or when the read fails, or
// InputReader::refused where the read is refused for its size or alignment.
qsizetype readAhead(int fd, char *data, qsizetype size);

// Moves the position back by count bytes.
void movePositionBack(int fd, qsizetype count);

#endif
