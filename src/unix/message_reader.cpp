// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Receiving whole messages of a socket, sized first, handed out in pieces.

#include "message_reader.h"

#include "descriptor_wait.h"
#include "io_sizes.h"

#include <algorithm>

#include <sys/socket.h>

MessageReader::MessageReader(int fd, Sizing sizing)
    : InputReader(Looking::leavesBytes), m_fd(fd), m_seqpacket(socketOption(fd, SO_TYPE) == SOCK_SEQPACKET),
      m_sizing(sizing)
{
}

namespace {

constexpr auto reading = DescriptorWait::Direction::readingMessages;

// Linux reports a message's whole length to a peek that asks with MSG_TRUNC;
// POSIX only says whether it was cut, and the peek is made again with twice
// the room.
#if SIMULATED_ERROR_POSIX_ONLY
constexpr int sizingPeekFlags = MSG_PEEK;
#else
constexpr int sizingPeekFlags = MSG_PEEK | MSG_TRUNC;
#endif

struct Received
{
    ssize_t length; // -1 when the call failed
    bool cut;
};

// Receives into size bytes at data, waiting for a message.
Received receiveInto(int fd, char *data, qsizetype size, int flags)
{
    iovec into{data, size_t(size)};
    msghdr message{};
    message.msg_iov = &into;
    message.msg_iovlen = 1;
    const ssize_t length = callWaiting(fd, reading, [&] { return ::recvmsg(fd, &message, flags); });
    return {length, (message.msg_flags & MSG_TRUNC) != 0};
}

} // namespace

qsizetype MessageReader::look(char *data, qsizetype size)
{
    if (m_message.isEmpty() && !receiveMessage())
        return refused;
    return m_message.handOut(data, size);
}

// Waits for the next message that is not empty and receives it whole; false
// where sizing it was refused. Where the input ends or fails, none is held.
bool MessageReader::receiveMessage()
{
    for (;;) {
        const qsizetype size = m_sizing == Sizing::byPeek ? sizeByPeek() : sizeByQueue();
        if (size <= 0)
            return size == 0;
        const Received received = receiveInto(m_fd, m_message.room(size), size, 0);
        if (received.length > 0)
            m_message.hold(qMin(qsizetype(received.length), size));
        if (received.length != 0 || hasEnded())
            return true;
    }
}

// Waits for a message and returns a size that holds it whole, grown until a
// peek no longer reports it cut; refused where the peek is refused.
qsizetype MessageReader::sizeByPeek()
{
    qsizetype size = qMax(m_message.roomSize(), pageSize);
    for (;;) {
        const Received peeked = receiveInto(m_fd, m_message.room(size), size, sizingPeekFlags);
        if (peeked.length < 0)
            return refused;
        if (peeked.length > size)
            size = peeked.length;
        else if (peeked.cut)
            size *= 2;
        else
            return size;
    }
}

// Waits for input (poll returns at once where some is queued) and returns a
// size that holds what the socket says it holds, and at least 64 KiB; 0 when
// nothing more can come.
qsizetype MessageReader::sizeByQueue()
{
    if (!DescriptorWait(m_fd, reading).waitAfterTryAgain())
        return 0;
    return std::max({m_message.roomSize(), bytesQueued(m_fd), pipeCapacity});
}

// Whether a receive that brought nothing met the end rather than an empty
// message: the socket is shut down and holds no more. Without POLLRDHUP a
// socket shut down for reading cannot be told from one that delivered an
// empty message, and an empty message ends the input, so that reading never
// spins on an end it cannot see.
bool MessageReader::hasEnded() const
{
#if SIMULATED_ERROR_HAVE_POLLRDHUP
    return isShutDownForReading(m_fd) && !hasMessageQueued();
#else
    return true;
#endif
}

// A datagram socket reports the size of its next message as what it holds,
// 0 for an empty one; a peek that may not wait tells an empty message (0)
// from none ("try again"). A seqpacket socket reports all it holds, and its
// peek reports the end as 0.
bool MessageReader::hasMessageQueued() const
{
    if (bytesQueued(m_fd) > 0)
        return true;
    return !m_seqpacket && ::recv(m_fd, nullptr, 0, MSG_PEEK | MSG_DONTWAIT) >= 0;
}
