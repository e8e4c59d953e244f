// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_MESSAGE_READER_H
#define SIMULATED_ERROR_MESSAGE_READER_H

#include "input/held_bytes.h"
#include "input/input_reader.h"

// Receives a socket that delivers messages (datagram, seqpacket, raw,
// netlink) a whole message at a time, however long, its size learned first,
// and hands out pieces of it: no message can be received in part, so what
// the message holding the line feed holds after it is lost. Empty messages
// are skipped; the input ends when the socket is shut down for reading and
// holds nothing more.
class MessageReader final : public InputReader
{
public:
    // How the size of the next message is learned: with a peek that tells
    // whether the message was cut (and on Linux its whole length), or, where
    // a peek cannot be trusted (a peek offset is set), from the size the
    // socket reports for what it holds, received into at least 64 KiB.
    enum class Sizing { byPeek, byQueue };

    MessageReader(int fd, Sizing sizing);

    // Refused where the socket refuses the peek that sizes its messages.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override { m_message.take(count); }

private:
    bool receiveMessage();
    qsizetype sizeByPeek();
    qsizetype sizeByQueue();
    bool hasEnded() const;
    bool hasMessageQueued() const;

    int m_fd;
    bool m_seqpacket;
    Sizing m_sizing;
    HeldBytes m_message;
};

#endif
