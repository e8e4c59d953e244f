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

void GrowingSleep::sleep()
{
    ::poll(nullptr, 0, m_ms);
    m_ms = qMin(2 * m_ms, longestSleepMs);
}

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
    Outcome outcome = Outcome::refused;
    if (m_pollTrusted) {
        m_pollTrusted = false;
        outcome = waitWithPoll();
    }
    if (outcome == Outcome::refused && !m_epollRefused)
        outcome = waitWithEpoll();
    if (outcome == Outcome::refused)
        m_sleep.sleep();
    return outcome != Outcome::ended;
}

DescriptorWait::Outcome DescriptorWait::waitWithPoll()
{
    pollfd request{m_fd, m_events, 0};
    if (retryOnInterrupt([&] { return ::poll(&request, 1, -1); }) < 0)
        return Outcome::refused;
    return request.revents & POLLNVAL ? Outcome::ended : Outcome::ready;
}

// Registering reports the present state once, so the first wait may return at
// once; every later one returns only on a change. A change between the call
// and the wait is kept for the wait, so none is missed. Input that reports
// its end here (poll refused, so not asked before) has nothing more to come.
DescriptorWait::Outcome DescriptorWait::waitWithEpoll()
{
#if SIMULATED_ERROR_HAVE_EPOLL
    if (!m_epoll.isOpen()) {
        m_epoll = OwnedDescriptor(::epoll_create1(EPOLL_CLOEXEC));
        epoll_event interest{};
        interest.events = (m_events == POLLIN ? EPOLLIN | EPOLLRDHUP : EPOLLOUT) | EPOLLET;
        if (!m_epoll.isOpen() || ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, m_fd, &interest) != 0) {
            m_epollRefused = true;
            return Outcome::refused;
        }
    }
    epoll_event event{};
    if (retryOnInterrupt([&] { return ::epoll_wait(m_epoll.get(), &event, 1, -1); }) < 0) {
        m_epollRefused = true;
        return Outcome::refused;
    }
    const bool ended = m_events == POLLIN && (event.events & (EPOLLRDHUP | EPOLLHUP));
    return ended ? Outcome::ended : Outcome::ready;
#else
    m_epollRefused = true;
    return Outcome::refused;
#endif
}
