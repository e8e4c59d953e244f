// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "descriptor_wait.h"

#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

namespace {

constexpr int longestSleepMs = 100;

} // namespace

bool isShutDownForReading(int fd)
{
    pollfd request{fd, POLLIN | POLLRDHUP, 0};
    return ::poll(&request, 1, 0) == 1 && (request.revents & (POLLRDHUP | POLLHUP));
}

DescriptorWait::DescriptorWait(int fd, Direction direction)
    : m_fd(fd), m_events(direction == Direction::reading ? POLLIN : POLLOUT)
{
}

DescriptorWait::~DescriptorWait()
{
    if (m_epoll >= 0)
        ::close(m_epoll);
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
    for (;;) {
        if (::poll(&request, 1, -1) >= 0)
            return !(request.revents & POLLNVAL);
        if (errno != EINTR)
            return false;
    }
}

// Registering reports the present state once, so the first wait may return at
// once; every later one returns only on a change. A change between the call
// and the wait is kept for the wait, so none is missed.
bool DescriptorWait::waitWithEpoll()
{
    if (m_epoll < 0) {
        m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
        epoll_event interest{};
        interest.events = (m_events == POLLIN ? EPOLLIN | EPOLLRDHUP : EPOLLOUT) | EPOLLET;
        if (m_epoll < 0 || ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_fd, &interest) != 0) {
            m_epollRefused = true;
            return false;
        }
    }
    epoll_event event{};
    while (::epoll_wait(m_epoll, &event, 1, -1) < 0) {
        if (errno != EINTR) {
            m_epollRefused = true;
            return false;
        }
    }
    return true;
}

void DescriptorWait::sleepBriefly()
{
    ::poll(nullptr, 0, m_sleepMs);
    m_sleepMs = m_sleepMs * 2 > longestSleepMs ? longestSleepMs : m_sleepMs * 2;
}
