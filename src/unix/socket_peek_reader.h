// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_SOCKET_PEEK_READER_H
#define SIMULATED_ERROR_SOCKET_PEEK_READER_H

#include "input/input_reader.h"

// Looks into a stream socket with recv(MSG_PEEK), which leaves the bytes
// queued, and then receives just the bytes the line used.
class SocketPeekReader final : public InputReader
{
public:
    // lowWaterMarkSet: the owner set SO_RCVLOWAT above one byte.
    SocketPeekReader(int fd, bool lowWaterMarkSet)
        : InputReader(Looking::leavesBytes), m_fd(fd), m_lowWaterMarkSet(lowWaterMarkSet)
    {
    }

    // Refused where the socket refuses to be peeked at.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    qsizetype lookPastLowWaterMark(char *data, qsizetype size);

    int m_fd;
    bool m_lowWaterMarkSet;
};

#endif
