// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "seek_back_reader.h"

#include "descriptor_wait.h"

#include <unistd.h>

qsizetype SeekBackReader::look(char *data, qsizetype size)
{
    const ssize_t got = callWaiting(m_fd, DescriptorWait::Direction::reading,
                                    [this, data, size] { return ::read(m_fd, data, size_t(size)); });
    m_looked = qMax<ssize_t>(got, 0);
    if (got >= 0)
        return got;
    return errno == EINVAL ? refused : 0;
}

void SeekBackReader::take(qsizetype count)
{
    if (m_looked > count)
        ::lseek(m_fd, -off_t(m_looked - count), SEEK_CUR);
    m_looked = 0;
}
