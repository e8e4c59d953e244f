// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_PACKET_TERMINAL_READER_H
#define SIMULATED_ERROR_PACKET_TERMINAL_READER_H

#include "byte_reader.h"

// Reads a pseudo-terminal's master side, whose owner may turn packet mode
// (TIOCPKT) on or off at any time. In packet mode every read begins with a
// status byte, so a read of one byte would bring that byte alone and never
// the terminal's data: a look reads two bytes, the status and one byte of
// data, and drops the status; a read that brings the status alone reports a
// change of the terminal and is read past. Out of packet mode a look reads
// one byte. Each look takes the byte it brings.
class PacketTerminalReader final : public TakingReader
{
public:
    // How the mode is known: asked (TIOCGPKT) before each look, one more call
    // for an input that delivers at typing speed; or, where it cannot be asked
    // (before Linux 3.8, or under an emulator that does not pass the call
    // on), told by a look of one byte that brings a lone NUL and takes
    // nothing, and kept from then on. A status byte other than NUL (a flush,
    // output stopped) that comes before the first data cannot be told from
    // data that way, and is taken for a byte. A mode that can no longer be
    // asked is told from then on.
    enum class Mode { asked, told };

    PacketTerminalReader(int fd, Mode mode) : m_fd(fd), m_modeAsked(mode == Mode::asked), m_bytes(fd) {}

    qsizetype look(char *data, qsizetype size) override;

private:
    bool isInPacketMode();
    qsizetype lookTellingPacketMode(char *data, qsizetype size);
    qsizetype lookInPacketMode(char *data);

    int m_fd;
    bool m_modeAsked;
    ByteReader m_bytes;
    bool m_packetModeSeen = false;
};

#endif
