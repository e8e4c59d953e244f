// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_SOCKET_PEEK_READER_H
#define SIMULATED_ERROR_SOCKET_PEEK_READER_H

#include "input/input_reader.h"

// Looks into a stream socket with recv(MSG_PEEK), which leaves the bytes
// queued, and then receives just the bytes the line used.
class SocketPeekReader : public InputReader
{
public:
    explicit SocketPeekReader(int fd) : m_fd(fd) {}

    // Refused where the socket refuses to be peeked at.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    int m_fd;
};

#endif
