// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_PROBE_H
#define SIMULATED_ERROR_INPUT_PROBE_H

// What an input descriptor is, as far as the choice of a way to read it
// needs to know. Asking changes nothing about the input.
struct InputTraits
{
    enum class Kind { notOpen, regularFile, blockDevice, characterDevice, terminal, pipe, socket, other };

    Kind kind = Kind::notOpen;
    // A regular file that holds bytes, or a block device, whose position can
    // be moved back. Other inputs (a character device, an inotify
    // descriptor, /proc/kmsg) may take lseek without moving, so its answer
    // alone proves nothing.
    bool seekable = false;
    bool direct = false; // opened with O_DIRECT
    int socketType = -1; // -1 where it is no socket or does not say
    bool listening = false; // a socket that only takes connections
    // The owner's low-water mark (SO_RCVLOWAT) above one byte: a receive that
    // may wait, and poll, hold back until that much is queued.
    bool lowWaterMarkSet = false;
    // A peek offset set by the socket's owner makes a peek start there and
    // move it on, while a receive starts at the next byte.
    bool peekOffsetSet = false;
    bool terminalMaster = false; // a pseudo-terminal's master side
    // The master's packet mode can be asked (TIOCGPKT): not before Linux 3.8,
    // nor under an emulator that does not pass the call on.
    bool packetModeAskable = false;
};

InputTraits probeInput(int fd);

#endif
