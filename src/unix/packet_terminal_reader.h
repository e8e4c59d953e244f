// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_PACKET_TERMINAL_READER_H
#define SIMULATED_ERROR_PACKET_TERMINAL_READER_H

#include "input/input_reader.h"

// Reads a pseudo-terminal's master side in packet mode (TIOCPKT), where every
// read begins with a status byte: a read of one byte would bring that byte
// alone and never the terminal's data. Two bytes bring the status and one
// byte of data, and the status is dropped, since it is not the terminal's
// data; a read that brings the status alone reports a change of the
// terminal and is read past. Each look takes the byte it brings.
class PacketTerminalReader final : public TakingReader
{
public:
    explicit PacketTerminalReader(int fd) : m_fd(fd) {}

    qsizetype look(char *data, qsizetype size) override;

private:
    int m_fd;
};

#endif
