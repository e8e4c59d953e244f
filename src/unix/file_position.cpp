// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading ahead and moving back on a seekable descriptor.

#include "input/seek_back_reader.h"

#include "descriptor_wait.h"

#include <unistd.h>

qsizetype readAhead(int fd, char *data, qsizetype size)
{
    const ssize_t got = callWaiting(fd, DescriptorWait::Direction::reading,
                                    [=] { return ::read(fd, data, size_t(size)); });
    if (got >= 0)
        return got;
    return errno == EINVAL ? InputReader::refused : 0;
}

void movePositionBack(int fd, qsizetype count)
{
    ::lseek(fd, -off_t(count), SEEK_CUR);
}
