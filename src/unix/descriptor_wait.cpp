// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Waiting on a descriptor that said "try again": poll, then epoll, then sleeps.

#include "descriptor_wait.h"

#include <poll.h>
#include <unistd.h>

#if SIMULATED_ERROR_HAVE_EPOLL
#include <sys/epoll.h>
#endif

namespace {

#if SIMULATED_ERROR_HAVE_POLLRDHUP
constexpr short shutDownEvents = POLLRDHUP | POLLHUP;
#else
constexpr short shutDownEvents = POLLHUP;
#endif

} // namespace

// poll reports an error besides (POLLERR), which may be no more than an entry
// on a socket's error queue (an ICMP error, a timestamp), after which input
// still comes: only the end's own events count.
bool isShutDownForReading(int fd)
{
    pollfd request{fd, shutDownEvents, 0};
    return ::poll(&request, 1, 0) == 1 && (request.revents & shutDownEvents);
}

DescriptorWait::DescriptorWait(int fd, Direction direction)
    : m_fd(fd),
      m_events(direction == Direction::writing ? POLLOUT : POLLIN),
      m_messages(direction == Direction::readingMessages)
{
}

// Input shut down for reading, or whose writer is gone, is tried once more
// after the wait, which takes what arrived together with the end; if it
// still says "try again" (a non-blocking datagram socket), nothing more can
// come. Without POLLRDHUP a message socket shut down for reading alone is
// seen only as poll saying it is readable while it has nothing to receive:
// after poll said so once, the input has ended.
bool DescriptorWait::waitAfterTryAgain()
{
    if (m_next == Next::ended)
        return false;
    const bool endSeen = m_events == POLLIN && isShutDownForReading(m_fd);
#if SIMULATED_ERROR_HAVE_POLLRDHUP
    const Outcome outcome = wait();
    const bool messagesEnded = false;
#else
    const bool pollAsked = m_next == Next::poll;
    const Outcome outcome = wait();
    const bool messagesEnded = m_messages && pollAsked && outcome == Outcome::ready;
#endif
    if (endSeen || outcome == Outcome::hungUp || messagesEnded)
        m_next = Next::ended;
    return outcome != Outcome::invalid;
}

// The wait the state names, and the next one from it: a "try again" after
// poll said ready means poll cannot be trusted for this descriptor.
DescriptorWait::Outcome DescriptorWait::wait()
{
    if (m_next == Next::poll) {
        m_next = Next::epoll;
        const Outcome outcome = waitWithPoll();
        if (outcome != Outcome::refused)
            return outcome;
    }
    if (m_next == Next::epoll) {
        const Outcome outcome = waitWithEpoll();
        if (outcome != Outcome::refused)
            return outcome;
        m_next = Next::sleep;
    }
    m_sleep.sleep();
    return Outcome::ready;
}

DescriptorWait::Outcome DescriptorWait::waitWithPoll()
{
    pollfd request{m_fd, m_events, 0};
    if (retryOnInterrupt([&] { return ::poll(&request, 1, -1); }) < 0)
        return Outcome::refused;
    return request.revents & POLLNVAL ? Outcome::invalid : Outcome::ready;
}

// Registering reports the present state once, so the first wait may return at
// once; every later one returns only on a change. A change between the call
// and the wait is kept for the wait, so none is missed. Input that reports
// its end here (poll refused, so not asked before) is tried once more.
DescriptorWait::Outcome DescriptorWait::waitWithEpoll()
{
#if SIMULATED_ERROR_HAVE_EPOLL
    if (!m_epoll.isOpen()) {
        m_epoll = OwnedDescriptor(::epoll_create1(EPOLL_CLOEXEC));
        epoll_event interest{};
        interest.events = (m_events == POLLIN ? EPOLLIN | EPOLLRDHUP : EPOLLOUT) | EPOLLET;
        if (!m_epoll.isOpen() || ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, m_fd, &interest) != 0)
            return Outcome::refused;
    }
    epoll_event event{};
    if (retryOnInterrupt([&] { return ::epoll_wait(m_epoll.get(), &event, 1, -1); }) < 0)
        return Outcome::refused;
    const bool hungUp = m_events == POLLIN && (event.events & (EPOLLRDHUP | EPOLLHUP));
    return hungUp ? Outcome::hungUp : Outcome::ready;
#else
    return Outcome::refused;
#endif
}
