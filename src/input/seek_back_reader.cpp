// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a file ahead and moving its position back, on every system.

#include "seek_back_reader.h"

qsizetype SeekBackReader::look(char *data, qsizetype size)
{
    const qsizetype got = readAhead(m_fd, data, size);
    m_looked = qMax<qsizetype>(got, 0);
    return got;
}

// Each take follows the look whose bytes it takes.
void SeekBackReader::take(qsizetype count)
{
    if (m_looked > count)
        movePositionBack(m_fd, m_looked - count);
}
