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
    // How a look waits for input: in the peek; or, where the owner set a
    // low-water mark (SO_RCVLOWAT) above one byte, between peeks that do not
    // wait.
    enum class Wait { inPeek, pastLowWaterMark };

    SocketPeekReader(int fd, Wait wait) : InputReader(Looking::leavesBytes), m_fd(fd), m_wait(wait) {}

    // Refused where the socket refuses to be peeked at.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    qsizetype lookPastLowWaterMark(char *data, qsizetype size);

    int m_fd;
    Wait m_wait;
};

#endif
