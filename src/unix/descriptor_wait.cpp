// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "descriptor_wait.h"

#include <poll.h>
#include <unistd.h>

#if SIMULATED_ERROR_HAVE_EPOLL
#include <sys/epoll.h>
#endif

namespace {

constexpr int longestSleepMs = 100;

#if SIMULATED_ERROR_HAVE_POLLRDHUP
constexpr short shutDownEvents = POLLRDHUP | POLLHUP;
#else
constexpr short shutDownEvents = POLLHUP;
#endif

} // namespace

bool isShutDownForReading(int fd)
{
    pollfd request{fd, short(POLLIN | shutDownEvents), 0};
    return ::poll(&request, 1, 0) == 1 && (request.revents & shutDownEvents);
}

DescriptorWait::DescriptorWait(int fd, Direction direction)
    : m_fd(fd), m_events(direction == Direction::reading ? POLLIN : POLLOUT)
{
}

// The first "try again" is waited on with poll; one after poll said ready
// means poll cannot be trusted for this descriptor. Input shut down for
// reading that still says "try again" (a non-blocking datagram socket) has
// nothing more to come: it is not waited on.
bool DescriptorWait::waitAfterTryAgain()
{
    if (m_events == POLLIN && isShutDownForReading(m_fd))
        return false;
    if (m_waits++ == 0)
        return waitWithPoll();
    if (!m_epollRefused && waitWithEpoll())
        return true;
    sleepBriefly();
    return true;
}

bool DescriptorWait::waitWithPoll()
{
    pollfd request{m_fd, m_events, 0};
    if (retryOnInterrupt([&] { return ::poll(&request, 1, -1); }) < 0)
        return false;
    return !(request.revents & POLLNVAL);
}

// Registering reports the present state once, so the first wait may return at
// once; every later one returns only on a change. A change between the call
// and the wait is kept for the wait, so none is missed.
bool DescriptorWait::waitWithEpoll()
{
#if SIMULATED_ERROR_HAVE_EPOLL
    if (!m_epoll.isOpen()) {
        m_epoll = OwnedDescriptor(::epoll_create1(EPOLL_CLOEXEC));
        epoll_event interest{};
        interest.events = (m_events == POLLIN ? EPOLLIN | EPOLLRDHUP : EPOLLOUT) | EPOLLET;
        if (!m_epoll.isOpen() || ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, m_fd, &interest) != 0) {
            m_epollRefused = true;
            return false;
        }
    }
    epoll_event event{};
    if (retryOnInterrupt([&] { return ::epoll_wait(m_epoll.get(), &event, 1, -1); }) < 0) {
        m_epollRefused = true;
        return false;
    }
    return true;
#else
    m_epollRefused = true;
    return false;
#endif
}

void DescriptorWait::sleepBriefly()
{
    ::poll(nullptr, 0, m_sleepMs);
    m_sleepMs = m_sleepMs * 2 > longestSleepMs ? longestSleepMs : m_sleepMs * 2;
}
