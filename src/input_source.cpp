// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "input_source.h"

#include "descriptor_wait.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The first piece is no larger than a buffered C stream reads, so that a
// short line costs one page of memory, however much input waits behind it.
constexpr qsizetype firstPieceSize = 4096;

// A message whose size cannot be learned is received into at least this much.
constexpr qsizetype smallestBlindReceive = 64 * 1024;

constexpr qsizetype firstRecordSize = 64 * 1024;

// A device that refuses every read up to this size is taken as failing.
constexpr qsizetype largestRecordSize = 1024 * 1024;

// O_DIRECT wants the buffer, the position and the size aligned, to the
// device's logical block size; the page size serves every common device, and
// a device that refuses it is asked again at twice the alignment.
constexpr qsizetype smallestAlignment = 4096;
constexpr qsizetype largestAlignment = 64 * 1024;

constexpr auto reading = DescriptorWait::Direction::reading;

bool hasInputNow(int fd)
{
    pollfd request{fd, POLLIN, 0};
    return ::poll(&request, 1, 0) == 1 && (request.revents & POLLIN);
}

bool hasBytesQueued(int fd)
{
    int queued = 0;
    return ::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0;
}

int socketType(int fd)
{
    int type = -1;
    socklen_t size = sizeof type;
    return ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 ? type : -1;
}

// With a peek offset set by the socket's owner, a peek starts at that offset
// and moves it on, while a receive starts at the next byte.
bool hasPeekOffset(int fd)
{
    int offset = -1;
    socklen_t size = sizeof offset;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEEK_OFF, &offset, &size) == 0 && offset >= 0;
}

bool isSeekable(int fd)
{
    return ::lseek(fd, 0, SEEK_CUR) != -1;
}

bool isInPacketMode(int fd)
{
    int packetMode = 0;
    return ::ioctl(fd, TIOCGPKT, &packetMode) == 0 && packetMode;
}

bool isDirect(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && (flags & O_DIRECT);
}

qsizetype roundUp(qsizetype size, qsizetype alignment)
{
    return (size + alignment - 1) / alignment * alignment;
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
    if (S_ISFIFO(status.st_mode)) {
        lookIntoPipesWithTee();
    } else if (S_ISSOCK(status.st_mode)) {
        m_peekTrusted = !hasPeekOffset(fd);
        m_socketType = socketType(fd);
        if (m_socketType == SOCK_STREAM && m_peekTrusted)
            m_method = Method::peekAtSocket;
        else if (m_socketType == SOCK_STREAM || m_socketType == -1)
            readByteByByte();
        else
            m_method = Method::receiveWhole;
    } else if (isSeekable(fd)) {
        if (isDirect(fd))
            m_method = Method::readAligned;
    } else if (S_ISCHR(status.st_mode) && !::isatty(fd)) {
        // A character device that is neither a terminal nor seekable hands
        // over records (log records, events, packets); some drop a record
        // that a read was too small for.
        m_method = Method::receiveWhole;
    } else {
        int packetMode = 0;
        m_isTerminalMaster = ::isatty(fd) && ::ioctl(fd, TIOCGPKT, &packetMode) == 0;
        readByteByByte();
    }
}

InputSource::~InputSource()
{
    closeIfOpen(m_copyReadEnd);
    closeIfOpen(m_copyWriteEnd);
    closeIfOpen(m_devNull);
}

// Without /dev/null the bytes used are taken through the private pipe.
void InputSource::lookIntoPipesWithTee()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        readByteByByte();
        return;
    }
    m_copyReadEnd = ends[0];
    m_copyWriteEnd = ends[1];
    m_devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    m_method = Method::teeFromPipe;
}

void InputSource::readByteByByte()
{
    closeIfOpen(m_copyReadEnd);
    closeIfOpen(m_copyWriteEnd);
    closeIfOpen(m_devNull);
    m_method = Method::read;
    m_maxPieceSize = m_pieceSize = 1;
}

qsizetype InputSource::look(char *data)
{
    m_lookTaken = false;
    const qsizetype got = lookByMethod(data);
    m_looked = got;
    takeEarlyWithoutLineFeed(data, got);
    if (got == m_pieceSize)
        m_pieceSize = qMin(2 * m_pieceSize, m_maxPieceSize);
    return got;
}

qsizetype InputSource::lookByMethod(char *data)
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
    case Method::readAligned:
        got = readAlignedPiece(data);
        break;
    case Method::receiveWhole:
        got = handOutHeld(data);
        break;
    }
    return got;
}

void InputSource::take(qsizetype count)
{
    if (m_lookTaken)
        return;
    switch (m_method) {
    case Method::teeFromPipe:
        takeFromPipe(count);
        break;
    case Method::peekAtSocket:
        takeFromSocket(count);
        break;
    case Method::read:
    case Method::readAligned:
        // What was read past the bytes used goes back where the input can
        // seek; elsewhere only single bytes are read, and nothing goes back.
        if (m_looked > count)
            ::lseek(m_fd, -off_t(m_looked - count), SEEK_CUR);
        break;
    case Method::receiveWhole:
        m_heldAt += count;
        break;
    }
}

// A reader of lines uses every byte of a piece that holds no line feed. Such
// a piece leaves a pipe or a socket as soon as it is looked at, so that the
// writer can refill it while the piece is taken in.
void InputSource::takeEarlyWithoutLineFeed(const char *data, qsizetype got)
{
    if ((m_method != Method::teeFromPipe && m_method != Method::peekAtSocket) || got == 0
        || std::memchr(data, '\n', size_t(got)))
        return;
    take(got);
    m_lookTaken = true;
}

// tee waits while the pipe is empty and returns 0 once it is empty and has no
// writer left. The private pipe is empty before each look, so it never waits
// for room there.
qsizetype InputSource::lookIntoPipe(char *data)
{
    const ssize_t copied = callWaiting(m_fd, reading, [this] {
        return ::tee(m_fd, m_copyWriteEnd, size_t(m_pieceSize), 0);
    });
    if (copied < 0) {
        readByteByByte();
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
    const ssize_t got = callWaiting(m_fd, reading, [this, data] {
        return ::recv(m_fd, data, size_t(m_pieceSize), MSG_PEEK);
    });
    if (got < 0) {
        readByteByByte();
        return readPiece(data);
    }
    return got;
}

// Returns 0 at the end of the input and on a read error. A read refused for
// its size or alignment (EINVAL) is made again in the form the input accepts.
qsizetype InputSource::readPiece(char *data)
{
    if (m_isTerminalMaster && isInPacketMode(m_fd))
        return readFromPacketTerminal(data);
    const ssize_t got = callWaiting(m_fd, reading, [this, data] {
        return ::read(m_fd, data, size_t(m_pieceSize));
    });
    if (got >= 0)
        return got;
    if (errno != EINVAL)
        return 0;
    if (isSeekable(m_fd) && isDirect(m_fd)) {
        m_method = Method::readAligned;
        return readAlignedPiece(data);
    }
    m_method = Method::receiveWhole;
    return handOutHeld(data);
}

// A pseudo-terminal's master side in packet mode begins every read with a
// status byte: a read of one byte would bring that byte alone, never the
// terminal's data. Two bytes bring the status and one byte of data; a read
// that brings the status alone reports a change of the terminal, not data.
qsizetype InputSource::readFromPacketTerminal(char *data)
{
    for (;;) {
        char packet[2];
        const ssize_t got = callWaiting(m_fd, reading, [this, &packet] {
            return ::read(m_fd, packet, sizeof packet);
        });
        if (got <= 0)
            return 0;
        if (got == 2) {
            data[0] = packet[1];
            return 1;
        }
    }
}

// Reads the aligned blocks around the piece at the position and moves the
// position past the piece, as a read of it would.
qsizetype InputSource::readAlignedPiece(char *data)
{
    const off_t position = ::lseek(m_fd, 0, SEEK_CUR);
    if (position < 0)
        return 0;
    m_alignment = qMax(m_alignment, smallestAlignment);
    for (;;) {
        const off_t start = position - position % m_alignment;
        const qsizetype skip = qsizetype(position - start);
        const qsizetype size = roundUp(skip + m_pieceSize, m_alignment);
        if (size > m_alignedSize) {
            m_aligned = {static_cast<char *>(std::aligned_alloc(size_t(largestAlignment), size_t(roundUp(size, largestAlignment)))),
                         std::free};
            m_alignedSize = m_aligned ? size : 0;
            if (!m_aligned)
                return 0;
        }
        ssize_t got;
        do
            got = ::pread(m_fd, m_aligned.get(), size_t(size), start);
        while (got < 0 && errno == EINTR);
        if (got < 0 && errno == EINVAL && m_alignment < largestAlignment) {
            m_alignment *= 2;
            continue;
        }
        if (got <= skip)
            return 0;
        const qsizetype used = qMin(qsizetype(got) - skip, m_pieceSize);
        std::memcpy(data, m_aligned.get() + skip, size_t(used));
        ::lseek(m_fd, position + used, SEEK_SET);
        return used;
    }
}

// Pieces of the message or record held, receiving the next one once all of
// this one is taken.
qsizetype InputSource::handOutHeld(char *data)
{
    const bool isMessageSocket = m_socketType != -1 && m_socketType != SOCK_STREAM;
    if (m_heldAt >= m_heldEnd && !(isMessageSocket ? receiveMessage() : readRecord()))
        return 0;
    const qsizetype got = qMin(m_pieceSize, m_heldEnd - m_heldAt);
    std::memcpy(data, m_held.data() + m_heldAt, size_t(got));
    return got;
}

// Waits for the next message and receives it whole. Its size is learned with
// a peek that reports a message's full length (MSG_TRUNC) and brings back
// whether it was cut, grown until nothing is cut; where a peek cannot be
// trusted, from the size the socket reports for its next message. An empty
// message is received and skipped.
bool InputSource::receiveMessage()
{
    for (;;) {
        const qsizetype size = nextMessageSize();
        if (size < 0)
            return false;
        iovec into{m_held.data(), size_t(size)};
        msghdr message{};
        message.msg_iov = &into;
        message.msg_iovlen = 1;
        const ssize_t got = callWaiting(m_fd, reading, [this, &message] {
            return ::recvmsg(m_fd, &message, 0);
        });
        if (got > 0) {
            m_heldAt = 0;
            m_heldEnd = qMin(qsizetype(got), size);
            return true;
        }
        // Nothing received: an empty message, skipped, or the end, once the
        // socket is shut down and holds no more.
        if (got < 0 || (isShutDownForReading(m_fd) && !hasMessageQueued()))
            return false;
    }
}

// A datagram socket reports the size of its next message as what it holds,
// 0 for an empty one; a peek that may not wait tells an empty message (0)
// from none ("try again"). A seqpacket socket reports all it holds, and its
// peek reports the end as 0.
bool InputSource::hasMessageQueued() const
{
    if (hasBytesQueued(m_fd))
        return true;
    return m_socketType != SOCK_SEQPACKET && ::recv(m_fd, nullptr, 0, MSG_PEEK | MSG_DONTWAIT) >= 0;
}

// Waits for a message; returns a size that holds it whole (the buffer made
// that large), or -1 when the input ends or fails.
qsizetype InputSource::nextMessageSize()
{
    qsizetype size = qMax(qsizetype(m_held.size()), firstPieceSize);
    while (m_peekTrusted) {
        m_held.resize(size_t(size));
        iovec into{m_held.data(), size_t(size)};
        msghdr message{};
        message.msg_iov = &into;
        message.msg_iovlen = 1;
        const ssize_t length = callWaiting(m_fd, reading, [this, &message] {
            return ::recvmsg(m_fd, &message, MSG_PEEK | MSG_TRUNC);
        });
        if (length < 0) {
            m_peekTrusted = false;
        } else if (length > size) {
            size = length;
        } else if (message.msg_flags & MSG_TRUNC) {
            size *= 2;
        } else {
            return size;
        }
    }
    pollfd request{m_fd, POLLIN, 0};
    while (::poll(&request, 1, -1) < 0) {
        if (errno != EINTR)
            return -1;
    }
    int pending = 0;
    if (::ioctl(m_fd, FIONREAD, &pending) != 0)
        pending = 0;
    size = std::max({size, qsizetype(pending), smallestBlindReceive});
    m_held.resize(size_t(size));
    return size;
}

// A record device hands over a whole record per read and refuses a read too
// small for it, so the first read is already large.
bool InputSource::readRecord()
{
    qsizetype size = qMax(qsizetype(m_held.size()), firstRecordSize);
    for (;;) {
        m_held.resize(size_t(size));
        const ssize_t got = callWaiting(m_fd, reading, [this, size] {
            return ::read(m_fd, m_held.data(), size_t(size));
        });
        if (got > 0) {
            m_heldAt = 0;
            m_heldEnd = got;
            return true;
        }
        if (got < 0 && errno == EINVAL && size < largestRecordSize) {
            size *= 2;
            continue;
        }
        return false;
    }
}

// The bytes were in the pipe when they were looked at; if another reader has
// taken them since, nothing is waited for.
void InputSource::takeFromPipe(qsizetype count)
{
    while (count > 0 && m_devNull >= 0) {
        const ssize_t moved = ::splice(m_fd, nullptr, m_devNull, nullptr, size_t(count),
                                       SPLICE_F_NONBLOCK);
        if (moved > 0)
            count -= moved;
        else if (moved == 0 || errno == EAGAIN)
            return;
        else if (errno != EINTR)
            closeIfOpen(m_devNull);
    }
    takeThroughPrivatePipe(count);
}

// Without /dev/null the bytes are spliced into the private pipe, empty
// between looks, and read out of it: a splice moves exactly the bytes asked
// for, where a read from a pipe that its writer fills with packets (O_DIRECT)
// would drop what it leaves of a packet.
void InputSource::takeThroughPrivatePipe(qsizetype count)
{
    while (count > 0) {
        const ssize_t moved = ::splice(m_fd, nullptr, m_copyWriteEnd, nullptr, size_t(count),
                                       SPLICE_F_NONBLOCK);
        if (moved > 0) {
            count -= moved;
            discard(moved, [this](char *data, size_t size) { return ::read(m_copyReadEnd, data, size); });
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

// Where the bytes looked at cannot be spliced away, they are read: each read
// is made only while the pipe has input, so that it cannot wait.
void InputSource::takeByReading(qsizetype count)
{
    discard(count, [this](char *data, size_t size) {
        return hasInputNow(m_fd) ? ::read(m_fd, data, size) : 0;
    });
}

