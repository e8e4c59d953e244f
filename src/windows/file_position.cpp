// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading ahead and moving back on a file's handle.

#include "input/seek_back_reader.h"

#include "handle.h"

qsizetype readAhead(int fd, char *data, qsizetype size)
{
    DWORD got = 0;
    return readFile(handleOf(fd), data, size, &got) ? qsizetype(got) : 0;
}

void movePositionBack(int fd, qsizetype count)
{
    LARGE_INTEGER back;
    back.QuadPart = -LONGLONG(count);
    ::SetFilePointerEx(handleOf(fd), back, nullptr, FILE_CURRENT);
}
