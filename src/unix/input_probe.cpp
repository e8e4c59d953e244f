// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// What a descriptor is: fstat, the socket's options, the terminal's side.

#include "input_probe.h"

#include "descriptor.h"

#include <cstdlib>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = InputTraits::Kind;

Kind kindOf(int fd, const struct stat &status)
{
    if (S_ISREG(status.st_mode))
        return Kind::regularFile;
    if (S_ISBLK(status.st_mode))
        return Kind::blockDevice;
    if (S_ISFIFO(status.st_mode))
        return Kind::pipe;
    if (S_ISSOCK(status.st_mode))
        return Kind::socket;
    if (::isatty(fd))
        return Kind::terminal;
    if (S_ISCHR(status.st_mode))
        return Kind::characterDevice;
    return Kind::other;
}

bool isDirect([[maybe_unused]] int fd)
{
#if SIMULATED_ERROR_HAVE_O_DIRECT
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && (flags & O_DIRECT);
#else
    return false;
#endif
}

bool hasPeekOffset([[maybe_unused]] int fd)
{
#if SIMULATED_ERROR_HAVE_SO_PEEK_OFF
    return socketOption(fd, SO_PEEK_OFF) >= 0;
#else
    return false;
#endif
}

// Only a pseudo-terminal's master side tells whether it is in packet mode,
// or, where that cannot be asked, has a terminal's name of its own.
void probeTerminalSide(int fd, InputTraits &input)
{
#if SIMULATED_ERROR_HAVE_TIOCGPKT
    int packetMode = 0;
    input.packetModeAskable = ::ioctl(fd, TIOCGPKT, &packetMode) == 0;
#endif
    input.terminalMaster = input.packetModeAskable || ::ptsname(fd) != nullptr;
}

// A regular file that reports no size may be one that hands over what a
// read takes and keeps no place (/proc/kmsg, where lseek succeeds without
// giving anything back); an empty file reads the same either way. A block
// device reports no size of its own.
bool holdsWhatItHands(Kind kind, const struct stat &status)
{
    return kind == Kind::blockDevice || status.st_size > 0;
}

} // namespace

InputTraits probeInput(int fd)
{
    InputTraits input;
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return input;
    input.kind = kindOf(fd, status);
    switch (input.kind) {
    case Kind::regularFile:
    case Kind::blockDevice:
        input.seekable = holdsWhatItHands(input.kind, status) && ::lseek(fd, 0, SEEK_CUR) != -1;
        input.direct = isDirect(fd);
        break;
    case Kind::socket:
        input.socketType = socketOption(fd, SO_TYPE);
        input.listening = socketOption(fd, SO_ACCEPTCONN) > 0;
        input.lowWaterMarkSet = socketOption(fd, SO_RCVLOWAT) > 1;
        input.peekOffsetSet = hasPeekOffset(fd);
        break;
    case Kind::terminal:
        probeTerminalSide(fd, input);
        break;
    default:
        break;
    }
    return input;
}
