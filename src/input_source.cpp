// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "input_source.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The first piece is no larger than a buffered C stream reads, so that a
// short line costs one page of memory, however much input waits behind it.
constexpr qsizetype firstPieceSize = 4096;

bool waitUntilReadable(int fd)
{
    pollfd request{fd, POLLIN, 0};
    for (;;) {
        if (::poll(&request, 1, -1) >= 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// Makes a call that waits for input: an interrupted call is repeated, and a
// non-blocking descriptor with nothing to read yet is waited on with poll,
// not asked again in a loop. Returns what the call returned, or -1 when it
// failed otherwise.
template<typename Call>
ssize_t waitingFor(int fd, Call call)
{
    for (;;) {
        const ssize_t result = call();
        if (result >= 0)
            return result;
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitUntilReadable(fd))
            continue;
        return -1;
    }
}

bool hasInputNow(int fd)
{
    pollfd request{fd, POLLIN, 0};
    return ::poll(&request, 1, 0) == 1 && (request.revents & POLLIN);
}

bool isStreamSocket(int fd)
{
    int type = 0;
    socklen_t size = sizeof type;
    return ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_STREAM;
}

bool isSeekable(int fd)
{
    return ::lseek(fd, 0, SEEK_CUR) != -1;
}

// A terminal in canonical mode hands over at most one line per read.
bool isCanonicalTerminal(int fd)
{
    termios settings{};
    return ::tcgetattr(fd, &settings) == 0 && (settings.c_lflag & ICANON);
}

// Receives and drops up to count bytes with calls of receive(data, size),
// none of which may wait; stops at the first call that brings nothing.
template<typename Receive>
void discard(qsizetype count, Receive receive)
{
    std::array<char, 16384> discarded;
    while (count > 0) {
        const ssize_t got = receive(discarded.data(), size_t(qMin<qsizetype>(count, discarded.size())));
        if (got > 0)
            count -= got;
        else if (got == 0 || errno != EINTR)
            return;
    }
}

void closeIfOpen(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

InputSource::InputSource(int fd, qsizetype maxPieceSize)
    : m_fd(fd), m_maxPieceSize(maxPieceSize), m_pieceSize(qMin(firstPieceSize, maxPieceSize))
{
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return; // reading finds the fault and ends the input
    if (S_ISFIFO(status.st_mode))
        lookIntoPipesWithTee();
    else if (S_ISSOCK(status.st_mode) && isStreamSocket(fd))
        m_method = Method::peekAtSocket;
    else if (!isSeekable(fd) && !isCanonicalTerminal(fd))
        m_maxPieceSize = m_pieceSize = 1;
}

InputSource::~InputSource()
{
    stopLooking();
}

void InputSource::lookIntoPipesWithTee()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    m_copyReadEnd = ends[0];
    m_copyWriteEnd = ends[1];
    m_devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_devNull < 0)
        stopLooking();
    else
        m_method = Method::teeFromPipe;
}

void InputSource::stopLooking()
{
    closeIfOpen(m_copyReadEnd);
    closeIfOpen(m_copyWriteEnd);
    closeIfOpen(m_devNull);
    m_method = Method::read;
}

qsizetype InputSource::look(char *data)
{
    qsizetype got = 0;
    switch (m_method) {
    case Method::teeFromPipe:
        got = lookIntoPipe(data);
        break;
    case Method::peekAtSocket:
        got = peekAtSocket(data);
        break;
    case Method::read:
        got = readPiece(data);
        break;
    }
    m_looked = got;
    if (got == m_pieceSize)
        m_pieceSize = qMin(2 * m_pieceSize, m_maxPieceSize);
    return got;
}

void InputSource::take(qsizetype count)
{
    switch (m_method) {
    case Method::teeFromPipe:
        takeFromPipe(count);
        break;
    case Method::peekAtSocket:
        takeFromSocket(count);
        break;
    case Method::read:
        // What was read past the bytes used goes back where the input can
        // seek; elsewhere the call fails and changes nothing.
        if (m_looked > count)
            ::lseek(m_fd, -off_t(m_looked - count), SEEK_CUR);
        break;
    }
}

// tee waits while the pipe is empty and returns 0 once it is empty and has no
// writer left. The private pipe is empty before each look, so it never waits
// for room there.
qsizetype InputSource::lookIntoPipe(char *data)
{
    const ssize_t copied = waitingFor(m_fd, [this] {
        return ::tee(m_fd, m_copyWriteEnd, size_t(m_pieceSize), 0);
    });
    if (copied < 0) {
        stopLooking();
        return readPiece(data);
    }
    return readCopy(data, copied);
}

qsizetype InputSource::readCopy(char *data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = ::read(m_copyReadEnd, data + done, size_t(size - done));
        if (got > 0)
            done += got;
        else if (got == 0 || errno != EINTR)
            break;
    }
    return done;
}

qsizetype InputSource::peekAtSocket(char *data)
{
    const ssize_t got = waitingFor(m_fd, [this, data] {
        return ::recv(m_fd, data, size_t(m_pieceSize), MSG_PEEK);
    });
    if (got < 0) {
        m_method = Method::read;
        return readPiece(data);
    }
    return got;
}

// Returns 0 at the end of the input and on a read error.
qsizetype InputSource::readPiece(char *data)
{
    const ssize_t got = waitingFor(m_fd, [this, data] {
        return ::read(m_fd, data, size_t(m_pieceSize));
    });
    return qMax<qsizetype>(got, 0);
}

// The bytes were in the pipe when they were looked at; if another reader has
// taken them since, nothing is waited for.
void InputSource::takeFromPipe(qsizetype count)
{
    while (count > 0) {
        const ssize_t moved = ::splice(m_fd, nullptr, m_devNull, nullptr, size_t(count),
                                       SPLICE_F_NONBLOCK);
        if (moved > 0) {
            count -= moved;
        } else if (moved == 0 || errno == EAGAIN) {
            return;
        } else if (errno != EINTR) {
            takeByReading(count);
            return;
        }
    }
}

void InputSource::takeFromSocket(qsizetype count)
{
    discard(count, [this](char *data, size_t size) { return ::recv(m_fd, data, size, MSG_DONTWAIT); });
}

// Only for a kernel that looks into a pipe but refuses to splice from it:
// each read is made only while the pipe has input, so that it cannot wait.
void InputSource::takeByReading(qsizetype count)
{
    discard(count, [this](char *data, size_t size) {
        return hasInputNow(m_fd) ? ::read(m_fd, data, size) : 0;
    });
}
