// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a pseudo-terminal master in packet mode, its status bytes dropped.

#include "packet_terminal_reader.h"

#include "descriptor_wait.h"

#include <unistd.h>

qsizetype PacketTerminalReader::look(char *data, qsizetype)
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
