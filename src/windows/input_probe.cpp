// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// What a handle is: a file, a pipe (of bytes or of messages), a console.

#include "input_probe.h"

namespace {

bool isMessagePipe(HANDLE pipe)
{
    DWORD flags = 0;
    return ::GetNamedPipeInfo(pipe, &flags, nullptr, nullptr, nullptr) && (flags & PIPE_TYPE_MESSAGE);
}

} // namespace

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
        input.kind = isMessagePipe(handle) ? Kind::messagePipe : Kind::pipe;
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
