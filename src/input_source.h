// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_SOURCE_H
#define SIMULATED_ERROR_INPUT_SOURCE_H

#include <QtGlobal>

#include <memory>
#include <vector>

// An input descriptor read in pieces that are first looked at and then
// taken, so that exactly the bytes a reader used leave the input and the next
// reader of the same input starts on the byte after them, whatever kind of
// input it is and however its bytes arrive:
//
// - a pipe or FIFO is looked into with tee(2), which copies what it holds
//   into a private pipe without consuming it; the bytes used are then spliced
//   into /dev/null, or into the private pipe and read out of it where
//   /dev/null cannot be had;
// - a stream socket is looked into with recv(MSG_PEEK) and the bytes used are
//   then received;
// - seekable input is read, and what was read past the bytes used is given
//   back by moving the position back; a file opened with O_DIRECT is read in
//   the aligned blocks it demands;
// - a socket that delivers messages (datagram, seqpacket) is received a whole
//   message at a time, its size learned first, and the pieces are handed out
//   from it; what a message holds past the bytes used is lost, since no
//   message can be received in part;
// - input that refuses a read for its size (a record device) is read a whole
//   record at a time in the same way;
// - anything else, a terminal of any kind and in any mode among it, is read
//   one byte at a time; so is a pipe or a stream socket where looking cannot
//   be had or trusted (no private pipe, tee or MSG_PEEK refused, a peek
//   offset set on the socket).
//
// Waiting for input blocks without using CPU, also on a non-blocking
// descriptor; interrupted calls are repeated. Taking never waits.
class InputSource
{
public:
    // Pieces start at 4 KiB and double, up to maxPieceSize, while looks fill
    // them, that is while more input is waiting than was asked for.
    InputSource(int fd, qsizetype maxPieceSize);
    ~InputSource();
    InputSource(const InputSource &) = delete;
    InputSource &operator=(const InputSource &) = delete;

    // The most bytes the next look may bring.
    qsizetype pieceSize() const { return m_pieceSize; }

    // Waits for input and copies up to pieceSize() bytes of it to data.
    // Returns their number: 0 at the end of the input or when it fails.
    qsizetype look(char *data);

    // Takes the first count bytes of the last look out of the input; the rest
    // of them stay for the next look or the next reader. A reader of lines
    // uses every byte of a look that holds no line feed, so such a look has
    // already left a pipe or a socket when look returns, and count must be
    // all of it.
    void take(qsizetype count);

private:
    enum class Method { teeFromPipe, peekAtSocket, read, readAligned, receiveWhole };

    qsizetype lookByMethod(char *data);
    void lookIntoPipesWithTee();
    void readByteByByte();
    qsizetype lookIntoPipe(char *data);
    qsizetype peekAtSocket(char *data);
    qsizetype readPiece(char *data);
    qsizetype readFromPacketTerminal(char *data);
    qsizetype readAlignedPiece(char *data);
    qsizetype handOutHeld(char *data);
    qsizetype readCopy(char *data, qsizetype size);
    bool receiveMessage();
    qsizetype nextMessageSize();
    bool hasMessageQueued() const;
    bool readRecord();
    void takeEarlyWithoutLineFeed(const char *data, qsizetype got);
    void takeFromPipe(qsizetype count);
    void takeFromSocket(qsizetype count);
    void takeByReading(qsizetype count);
    void takeThroughPrivatePipe(qsizetype count);

    int m_fd;
    Method m_method = Method::read;
    qsizetype m_maxPieceSize;
    qsizetype m_pieceSize;
    qsizetype m_looked = 0;
    bool m_lookTaken = false; // the last look left the input when it was made
    int m_copyReadEnd = -1;
    int m_copyWriteEnd = -1;
    int m_devNull = -1;
    // A socket's peek offset moves a peek away from the next byte.
    bool m_peekTrusted = true;
    int m_socketType = -1; // -1 where the input is no socket
    // A pseudo-terminal's master side, which may be in packet mode.
    bool m_isTerminalMaster = false;
    // A message or a record received whole, handed out from m_heldAt.
    std::vector<char> m_held;
    qsizetype m_heldAt = 0;
    qsizetype m_heldEnd = 0;
    // Blocks read with O_DIRECT land here first, at the alignment asked.
    std::unique_ptr<char, void (*)(void *)> m_aligned{nullptr, nullptr};
    qsizetype m_alignedSize = 0;
    qsizetype m_alignment = 0;
};

#endif
