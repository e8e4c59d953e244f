// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_PACKET_MODE_SWITCH_H
#define SIMULATED_ERROR_PACKET_MODE_SWITCH_H

#include "byte_reader.h"
#include "packet_terminal_reader.h"

// A pseudo-terminal's master side, whose owner may turn packet mode on or
// off at any time: each look goes to the packet reading while it is on, and
// to one byte at a time while it is off. The mode is asked before each look,
// one more call for an input that delivers at typing speed; where it cannot
// be asked (no TIOCGPKT, or the call refused), packet mode is told by a look
// of one byte that brings a lone NUL and takes nothing, and is then kept. A
// status byte other than NUL (a flush, output stopped) that comes before the
// first data cannot be told from data that way, and is taken for a byte.
class PacketModeSwitch final : public TakingReader
{
public:
    PacketModeSwitch(int fd, bool modeAskable)
        : m_fd(fd), m_modeAskable(modeAskable), m_bytes(fd), m_packets(fd)
    {
    }

    qsizetype look(char *data, qsizetype size) override;

private:
    bool isInPacketMode();
    qsizetype lookTellingPacketMode(char *data, qsizetype size);

    int m_fd;
    bool m_modeAskable;
    ByteReader m_bytes;
    PacketTerminalReader m_packets;
    bool m_packetModeSeen = false;
};

#endif
