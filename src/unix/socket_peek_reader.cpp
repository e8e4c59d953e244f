// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Peeking into a stream socket, and then receiving what was used.

#include "socket_peek_reader.h"

#include "descriptor_wait.h"
#include "input/discard.h"

#include <sys/socket.h>

qsizetype SocketPeekReader::look(char *data, qsizetype size)
{
    if (m_wait == Wait::pastLowWaterMark)
        return lookPastLowWaterMark(data, size);
    const ssize_t got = callWaiting(m_fd, DescriptorWait::Direction::reading, [this, data, size] {
        return ::recv(m_fd, data, size_t(size), MSG_PEEK);
    });
    return got >= 0 ? got : refused;
}

// Where the owner set a low-water mark, a peek that may wait holds back until
// as much as the mark asks is queued, or the end, and poll and epoll do not
// report the socket readable before either: a line shorter than the mark,
// its writer still open, would never be looked at. So the peek does not
// wait, and the wait between peeks sleeps.
qsizetype SocketPeekReader::lookPastLowWaterMark(char *data, qsizetype size)
{
    for (GrowingSleep sleep;; sleep.sleep()) {
        const ssize_t got = retryOnInterrupt(
            [&] { return ::recv(m_fd, data, size_t(size), MSG_PEEK | MSG_DONTWAIT); });
        if (got >= 0)
            return got;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return refused;
    }
}

// The bytes were queued when they were looked at; if another reader has
// taken them since, nothing is waited for.
void SocketPeekReader::take(qsizetype count)
{
    discard(count, [this](char *data, qsizetype size) {
        return retryOnInterrupt([&] { return ::recv(m_fd, data, size_t(size), MSG_DONTWAIT); });
    });
}
