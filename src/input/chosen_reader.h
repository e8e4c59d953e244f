// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_CHOSEN_READER_H
#define SIMULATED_ERROR_CHOSEN_READER_H

#include "reading_ways.h"

// The chooser: reads an input the way that suits what it is, so that exactly
// the bytes a caller used leave it. The input is looked at once for the ways
// that suit it; where the way read with is refused before any byte has left
// the input, or cannot be had, the next takes over, and no way is tried
// twice. Its looks are never refused; once no way is left the input ends.
class ChosenReader
{
public:
    explicit ChosenReader(int fd);

    // As InputReader's, with the reader of the way read with.
    qsizetype look(char *data, qsizetype size);
    void take(qsizetype count) { m_reader->take(count); }
    bool takesAsItLooks() const { return m_reader->takesAsItLooks(); }

private:
    void readWithNextWay();

    int m_fd;
    ReadingWays m_ways;
    int m_next = 0; // the way to try after the one read with
    std::unique_ptr<InputReader> m_reader;
};

#endif
