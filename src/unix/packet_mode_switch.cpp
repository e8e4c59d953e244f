// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "packet_mode_switch.h"

#include <sys/ioctl.h>

namespace {

bool isInPacketMode(int fd)
{
    int packetMode = 0;
    return ::ioctl(fd, TIOCGPKT, &packetMode) == 0 && packetMode;
}

} // namespace

qsizetype PacketModeSwitch::look(char *data, qsizetype size)
{
    return isInPacketMode(m_fd) ? m_packets.look(data, size) : m_bytes.look(data, size);
}
