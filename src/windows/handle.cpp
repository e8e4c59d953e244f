// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The handle behind a descriptor, and transfers at its file pointer.

#include "handle.h"

#include <io.h>

HANDLE handleOf(int fd)
{
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle == -1 || handle == -2 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

namespace {

// Makes call(nullptr), or where the handle asks for an OVERLAPPED, call with
// one at the file pointer's place.
template<typename Call>
bool transferAtPointer(HANDLE handle, DWORD *done, Call call)
{
    *done = 0;
    if (call(nullptr))
        return true;
    if (::GetLastError() != ERROR_INVALID_PARAMETER)
        return false;
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_CURRENT))
        return false;
    OVERLAPPED overlapped{};
    overlapped.Offset = position.LowPart;
    overlapped.OffsetHigh = DWORD(position.HighPart);
    overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool moved = (call(&overlapped) || ::GetLastError() == ERROR_IO_PENDING)
                 && ::GetOverlappedResult(handle, &overlapped, done, TRUE);
    if (!moved && ::GetLastError() == ERROR_HANDLE_EOF)
        moved = true;
    ::CloseHandle(overlapped.hEvent);
    LARGE_INTEGER past{};
    past.QuadPart = *done;
    return moved && ::SetFilePointerEx(handle, past, nullptr, FILE_CURRENT);
}

} // namespace

bool readFile(HANDLE handle, void *data, qsizetype size, DWORD *done)
{
    const DWORD count = DWORD(qMin<qsizetype>(size, largestTransfer));
    return transferAtPointer(handle, done, [&](OVERLAPPED *overlapped) {
        return ::ReadFile(handle, data, count, overlapped ? nullptr : done, overlapped);
    });
}

bool writeFile(HANDLE handle, const void *data, qsizetype size, DWORD *done)
{
    const DWORD count = DWORD(qMin<qsizetype>(size, largestTransfer));
    return transferAtPointer(handle, done, [&](OVERLAPPED *overlapped) {
        return ::WriteFile(handle, data, count, overlapped ? nullptr : done, overlapped);
    });
}
