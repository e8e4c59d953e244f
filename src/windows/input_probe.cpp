// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "input_probe.h"

InputTraits probeInput(HANDLE handle)
{
    using Kind = InputTraits::Kind;
    InputTraits input;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
        return input;
    DWORD consoleMode = 0;
    switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK:
        input.kind = Kind::disk;
        break;
    case FILE_TYPE_PIPE:
        input.kind = Kind::pipe;
        break;
    case FILE_TYPE_CHAR:
        input.kind = ::GetConsoleMode(handle, &consoleMode) ? Kind::console : Kind::character;
        break;
    default:
        input.kind = ::GetLastError() == NO_ERROR ? Kind::other : Kind::notOpen;
        break;
    }
    return input;
}
