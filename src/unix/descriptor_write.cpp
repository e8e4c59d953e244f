// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "line_output.h"

#include "descriptor_wait.h"

#include <unistd.h>

bool writeWhole(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = callWaiting(fd, DescriptorWait::Direction::writing, [=] {
            return ::write(fd, data, size_t(size));
        });
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}
