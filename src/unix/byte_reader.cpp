// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a descriptor one byte at a time.

#include "byte_reader.h"

#include "descriptor_wait.h"

#include <unistd.h>

qsizetype ByteReader::look(char *data, qsizetype)
{
    const ssize_t got = callWaiting(m_fd, DescriptorWait::Direction::reading,
                                    [this, data] { return ::read(m_fd, data, 1); });
    if (got >= 0)
        return got;
    return errno == EINVAL ? refused : 0;
}
