// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Owning a descriptor, and what it holds for reading now.

#include "descriptor.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

void OwnedDescriptor::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

qsizetype bytesQueued(int fd)
{
    int queued = 0;
    return ::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0 ? queued : 0;
}

bool hasInputNow(int fd)
{
    pollfd request{fd, POLLIN, 0};
    return retryOnInterrupt([&] { return ::poll(&request, 1, 0); }) == 1 && (request.revents & POLLIN);
}

