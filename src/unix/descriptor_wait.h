// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_DESCRIPTOR_WAIT_H
#define SIMULATED_ERROR_DESCRIPTOR_WAIT_H

#include "descriptor.h"
#include "growing_sleep.h"

// Waits, without using CPU, until a descriptor that said "try again" is ready
// for reading or writing.
//
// poll is asked first. Where poll and the descriptor disagree (poll says
// ready, the next call says "try again" again: a socket that holds only an
// out-of-band byte, another reader that took the input first), asking poll
// again would return at once forever; the wait then goes through an
// edge-triggered epoll, which returns only when the descriptor's state
// changes. The same happens where poll is refused (it may fail for want of
// memory). Where no epoll can be had either (or the system has none), the
// wait sleeps, longer each time, so that even then it never spins.
class DescriptorWait
{
public:
    // readingMessages: a socket that delivers messages, which never holds
    // out-of-band data.
    enum class Direction { reading, readingMessages, writing };

    DescriptorWait(int fd, Direction direction);
    DescriptorWait(const DescriptorWait &) = delete;
    DescriptorWait &operator=(const DescriptorWait &) = delete;

    // Returns after the descriptor may have become ready; false when it
    // cannot be waited on at all, or is input that nothing more can reach.
    bool waitAfterTryAgain();

private:
    // What the next wait is: poll first; then, once poll has been refused or
    // has said ready where the descriptor was not, epoll; then, once epoll
    // has been refused too, a sleep. ended: the end of the input was seen,
    // and the try after it is over.
    enum class Next { poll, epoll, sleep, ended };
    enum class Outcome { ready, hungUp, invalid, refused };

    Outcome wait();
    Outcome waitWithPoll();
    Outcome waitWithEpoll();

    int m_fd;
    short m_events;
    [[maybe_unused]] bool m_messages; // asked only where POLLRDHUP is missing
    Next m_next = Next::poll;
    OwnedDescriptor m_epoll;
    GrowingSleep m_sleep;
};

// Whether input on fd is shut down for reading or its peer is gone, so that
// nothing more can arrive. Where the system cannot tell a socket shut down
// for reading alone (no POLLRDHUP), only a peer that is gone is seen.
bool isShutDownForReading(int fd);

// Makes a call that may have to wait on fd: an interrupted call is repeated,
// and a non-blocking descriptor that says "try again" is waited on as above,
// then asked again. Returns what the call returned, or -1 (errno set) when it
// failed otherwise.
template<typename Call>
ssize_t callWaiting(int fd, DescriptorWait::Direction direction, Call call)
{
    DescriptorWait wait(fd, direction);
    for (;;) {
        const ssize_t result = retryOnInterrupt(call);
        if (result >= 0)
            return result;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || !wait.waitAfterTryAgain())
            return -1;
    }
}

#endif
