// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The null device, opened only where it is one.

#include "null_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/sysmacros.h>
#endif

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
