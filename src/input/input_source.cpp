// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "input_source.h"

InputSource::InputSource(int fd) : m_fd(fd), m_reading(chooseReading(fd)) {}

qsizetype InputSource::look(char *data, qsizetype size)
{
    for (;;) {
        const qsizetype got = m_reading.reader->look(data, size);
        if (got != InputReader::refused)
            return got;
        m_reading = readingAfterRefusal(m_fd, m_reading.way);
    }
}
