// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_SOURCE_H
#define SIMULATED_ERROR_INPUT_SOURCE_H

#include <QtGlobal>

// An input descriptor read in pieces that are first looked at and then
// taken, so that exactly the bytes a reader used leave the input and the next
// reader of the same input starts on the byte after them, whatever kind of
// input it is and however its bytes arrive:
//
// - a pipe or FIFO is looked into with tee(2), which copies what it holds
//   into a private pipe without consuming it; the bytes used are then spliced
//   into /dev/null;
// - a stream socket is looked into with recv(MSG_PEEK) and the bytes used are
//   then received;
// - seekable input is read, and what was read past the bytes used is given
//   back by moving the position back;
// - a terminal in canonical mode delivers at most a line per read and is read
//   as it delivers;
// - anything else is read one byte at a time.
//
// Where the kernel refuses to look (tee or MSG_PEEK failing other than with
// "try again", a datagram socket), the input is read in pieces as a buffered
// stream would read it, and what a piece held past the bytes used is lost to
// the next reader.
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
    // of them stay for the next look or the next reader.
    void take(qsizetype count);

private:
    enum class Method { teeFromPipe, peekAtSocket, read };

    void lookIntoPipesWithTee();
    void stopLooking();
    qsizetype lookIntoPipe(char *data);
    qsizetype peekAtSocket(char *data);
    qsizetype readPiece(char *data);
    qsizetype readCopy(char *data, qsizetype size);
    void takeFromPipe(qsizetype count);
    void takeFromSocket(qsizetype count);
    void takeByReading(qsizetype count);

    int m_fd;
    Method m_method = Method::read;
    qsizetype m_maxPieceSize;
    qsizetype m_pieceSize;
    qsizetype m_looked = 0;
    int m_copyReadEnd = -1;
    int m_copyWriteEnd = -1;
    int m_devNull = -1;
};

#endif
