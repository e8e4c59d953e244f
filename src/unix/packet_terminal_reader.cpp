// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a pseudo-terminal master as its owner turns packet mode on and off,
// the status bytes of packet mode dropped.

#include "packet_terminal_reader.h"

#include "descriptor_wait.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

qsizetype PacketTerminalReader::look(char *data, qsizetype size)
{
    if (isInPacketMode())
        return lookInPacketMode(data);
    return m_modeAsked ? m_bytes.look(data, size) : lookTellingPacketMode(data, size);
}

bool PacketTerminalReader::isInPacketMode()
{
#if SIMULATED_ERROR_HAVE_TIOCGPKT
    int packetMode = 0;
    if (m_modeAsked && ::ioctl(m_fd, TIOCGPKT, &packetMode) == 0)
        return packetMode != 0;
#endif
    m_modeAsked = false;
    return m_packetModeSeen;
}

// In packet mode a read of one byte brings the status byte that begins
// every read, a NUL before data, and takes none of the data: what the
// terminal holds stays as it was. Waiting for input first, without reading,
// lets the look compare what it holds before and after.
qsizetype PacketTerminalReader::lookTellingPacketMode(char *data, qsizetype size)
{
    pollfd request{m_fd, POLLIN, 0};
    retryOnInterrupt([&] { return ::poll(&request, 1, -1); });
    const qsizetype held = bytesQueued(m_fd);
    const qsizetype got = m_bytes.look(data, size);
    if (got == 1 && data[0] == '\0' && held > 0 && bytesQueued(m_fd) == held) {
        m_packetModeSeen = true;
        return lookInPacketMode(data);
    }
    return got;
}

qsizetype PacketTerminalReader::lookInPacketMode(char *data)
{
    for (;;) {
        char packet[2];
        const ssize_t got = callWaiting(m_fd, DescriptorWait::Direction::reading,
                                        [this, &packet] { return ::read(m_fd, packet, sizeof packet); });
        if (got <= 0)
            return 0;
        if (got == 2) {
            data[0] = packet[1];
            return 1;
        }
    }
}
