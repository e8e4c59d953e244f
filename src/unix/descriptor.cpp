// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Owning a descriptor, what it is and holds, and the null device.

#include "descriptor.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/sysmacros.h>
#endif

void OwnedDescriptor::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int socketOption(int fd, int option)
{
    int value = -1;
    socklen_t size = sizeof value;
    return ::getsockopt(fd, SOL_SOCKET, option, &value, &size) == 0 ? value : -1;
}

qsizetype bytesQueued(int fd)
{
    int queued = 0;
    return ::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0 ? queued : 0;
}

namespace {

// The null device is a character device; on Linux it has a fixed number.
bool isNullDevice(const struct stat &status)
{
#ifdef __linux__
    return S_ISCHR(status.st_mode) && status.st_rdev == makedev(1, 3);
#else
    return S_ISCHR(status.st_mode);
#endif
}

} // namespace

int openNullDevice(int flags)
{
    const int fd = ::open("/dev/null", flags | O_NONBLOCK);
    struct stat status{};
    if (fd < 0 || (::fstat(fd, &status) == 0 && isNullDevice(status)))
        return fd;
    ::close(fd);
    return -1;
}
