// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Following a pseudo-terminal master's packet mode as its owner turns it on and off.

#include "packet_mode_switch.h"

#include "descriptor_wait.h"

#include <poll.h>
#include <sys/ioctl.h>

qsizetype PacketModeSwitch::look(char *data, qsizetype size)
{
    if (isInPacketMode())
        return m_packets.look(data, size);
    return m_modeAskable ? m_bytes.look(data, size) : lookTellingPacketMode(data, size);
}

// A read of one byte in packet mode never brings data, so a mode that can no
// longer be asked is told from then on.
bool PacketModeSwitch::isInPacketMode()
{
#if SIMULATED_ERROR_HAVE_TIOCGPKT
    int packetMode = 0;
    if (m_modeAskable && ::ioctl(m_fd, TIOCGPKT, &packetMode) == 0)
        return packetMode != 0;
#endif
    m_modeAskable = false;
    return m_packetModeSeen;
}

// In packet mode a read of one byte brings the status byte that begins
// every read, a NUL before data, and takes none of the data: what the
// terminal holds stays as it was. Waiting for input first, without reading,
// lets the look compare what it holds before and after.
qsizetype PacketModeSwitch::lookTellingPacketMode(char *data, qsizetype size)
{
    pollfd request{m_fd, POLLIN, 0};
    retryOnInterrupt([&] { return ::poll(&request, 1, -1); });
    const qsizetype held = bytesQueued(m_fd);
    const qsizetype got = m_bytes.look(data, size);
    if (got == 1 && data[0] == '\0' && held > 0 && bytesQueued(m_fd) == held) {
        m_packetModeSeen = true;
        return m_packets.look(data, size);
    }
    return got;
}
