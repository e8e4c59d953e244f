// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Writing a handle whole.

#include "write_whole.h"

#include "growing_sleep.h"
#include "handle.h"

// WriteFile writes the bytes as they are: no line feed becomes CR LF, as it
// would through the C runtime's text mode. A pipe in non-blocking mode
// (PIPE_NOWAIT) that takes nothing is written again after a sleep.
bool writeWhole(int fd, const char *data, qsizetype size)
{
    const HANDLE handle = handleOf(fd);
    GrowingSleep sleep;
    while (size > 0) {
        DWORD written = 0;
        if (!writeFile(handle, data, size, &written))
            return false;
        if (written == 0)
            sleep.sleep();
        else
            sleep.restart();
        data += written;
        size -= written;
    }
    return true;
}
