// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "socket_peek_reader.h"

#include "descriptor_wait.h"

#include <sys/socket.h>

qsizetype SocketPeekReader::look(char *data, qsizetype size)
{
    const ssize_t got = callWaiting(m_fd, DescriptorWait::Direction::reading, [this, data, size] {
        return ::recv(m_fd, data, size_t(size), MSG_PEEK);
    });
    return got >= 0 ? got : refused;
}

// The bytes were queued when they were looked at; if another reader has
// taken them since, nothing is waited for.
void SocketPeekReader::take(qsizetype count)
{
    discard(count, [this](char *data, size_t size) { return ::recv(m_fd, data, size, MSG_DONTWAIT); });
}
