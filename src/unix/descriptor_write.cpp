// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Writing a descriptor whole.

#include "write_whole.h"

#include "descriptor_wait.h"

#include <unistd.h>

// A descriptor that takes each write as one message (a datagram or
// seqpacket socket) refuses a write larger than a message may be
// (EMSGSIZE): the write is made again with half as much, until one is
// taken, and the rest follows in messages of that size.
bool writeWhole(int fd, const char *data, qsizetype size)
{
    qsizetype mostTaken = size;
    while (size > 0) {
        const qsizetype count = qMin(size, mostTaken);
        const ssize_t written = callWaiting(fd, DescriptorWait::Direction::writing,
                                            [=] { return ::write(fd, data, size_t(count)); });
        if (written < 0 && errno == EMSGSIZE && count > 1) {
            mostTaken = count / 2;
            continue;
        }
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}
