// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Standard streams the caller closed, opened on the null device.

#include "standard_streams.h"

#include "descriptor.h"

#include <fcntl.h>
#include <unistd.h>

// A descriptor opened takes the lowest free number, which is the closed
// standard one.
void occupyClosedStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1)
            openNullDevice(fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
}
