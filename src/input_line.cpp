#include "input_line.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace {

// The first read takes no more than a buffered C stream would, so a short line
// followed by more input consumes no more of that input than a stream would.
// Pieces then grow while the line goes on, so long lines cost few reads.
constexpr qsizetype firstPieceSize = 4096;
constexpr qsizetype largestPieceSize = 64 * 1024;
// A split for decoding never holds back more than this many bytes.
constexpr qsizetype maxHeldBytes = 3;

const char byteOrderMark[] = "\xEF\xBB\xBF";
constexpr qsizetype byteOrderMarkSize = 3;

bool isContinuationByte(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

// True when decoding bytes [0, at) and [at, size) separately gives the same
// text as decoding them together: no multi-byte sequence can span the split.
// A sequence's lead byte (0xC0 and up) stands at most 3 bytes before its end,
// and a byte that is no continuation byte always starts something new.
bool canSplitAt(const uchar *data, qsizetype size, qsizetype at)
{
    if (at < size && !isContinuationByte(data[at]))
        return true;
    for (qsizetype i = qMax<qsizetype>(0, at - maxHeldBytes); i < at; ++i) {
        if (data[i] >= 0xC0)
            return false;
    }
    return true;
}

// The largest split of the bytes that canSplitAt allows; it holds back at most
// maxHeldBytes bytes.
qsizetype lastSafeSplit(const char *data, qsizetype size)
{
    const auto bytes = reinterpret_cast<const uchar *>(data);
    for (qsizetype at = size; at > 0; --at) {
        if (canSplitAt(bytes, size, at))
            return at;
    }
    return 0;
}

const char replacementCharacter[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8
constexpr qsizetype replacementCharacterSize = 3;

// The length of the well-formed UTF-8 sequence at data, or 0 when there is
// none: a stray continuation byte, an impossible lead byte, a truncated
// sequence, an overlong form, a surrogate or a value past U+10FFFF. The
// limits on the second byte after E0, ED, F0 and F4 rule out the last three.
qsizetype wellFormedLength(const uchar *data, qsizetype available)
{
    const uchar lead = data[0];
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    const qsizetype length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (available < length)
        return 0;
    const uchar second = data[1];
    const uchar lowest = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const uchar highest = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < lowest || second > highest)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuationByte(data[i]))
            return 0;
    }
    return length;
}

// The end of the well-formed UTF-8 that starts at data.
const uchar *endOfWellFormed(const uchar *data, const uchar *end)
{
    while (data < end) {
        // Runs of ASCII go eight bytes at a time.
        quint64 eight;
        if (end - data >= 8 && (std::memcpy(&eight, data, 8), (eight & 0x8080808080808080u) == 0)) {
            data += 8;
            continue;
        }
        const qsizetype length = wellFormedLength(data, end - data);
        if (length == 0)
            break;
        data += length;
    }
    return data;
}

// Collects the first line piece by piece as the text that decoding it whole
// with QString::fromUtf8 gives, kept in UTF-8: each run of bytes up to a NUL
// or the line feed is decoded on its own, a byte-order mark at a run's start
// is dropped, and every byte that is not part of a well-formed sequence
// becomes U+FFFD. Keeping the text in UTF-8 rather than UTF-16 halves the
// memory a long ASCII line needs and spares decoding and encoding it again.
class LineCollector
{
public:
    // Takes in the next bytes of input and returns how many it used: all of
    // them, but for a few bytes of an unfinished sequence (to be passed again
    // with the next piece) or the bytes after the line feed.
    qsizetype feed(const char *data, qsizetype size, bool endOfInput);
    bool isComplete() const { return m_complete; }
    QByteArray takeLine() { return std::move(m_line); }

private:
    qsizetype feedRun(const char *data, qsizetype size, bool endOfInput);
    void appendText(const char *data, qsizetype size);

    QByteArray m_line;
    bool m_dropping = false; // between a NUL and the line feed that ends its line
    bool m_atRunStart = true; // no byte of the current run taken in yet
    bool m_complete = false;
};

qsizetype LineCollector::feed(const char *data, qsizetype size, bool endOfInput)
{
    qsizetype used = 0;
    while (used < size && !m_complete) {
        const char *rest = data + used;
        if (!m_dropping) {
            used += feedRun(rest, size - used, endOfInput);
            if (!m_dropping)
                break;
            continue;
        }
        const auto lineFeed = static_cast<const char *>(std::memchr(rest, '\n', size_t(size - used)));
        if (!lineFeed)
            return size;
        used = lineFeed - data + 1;
        m_dropping = false;
        m_atRunStart = true;
    }
    return used;
}

// Feeds bytes of the current run; stops after a NUL (switching to dropping),
// after the line feed (completing the line), or at a safe split.
qsizetype LineCollector::feedRun(const char *data, qsizetype size, bool endOfInput)
{
    const auto lineFeed = static_cast<const char *>(std::memchr(data, '\n', size_t(size)));
    const qsizetype searched = lineFeed ? lineFeed - data : size;
    const auto nul = static_cast<const char *>(std::memchr(data, '\0', size_t(searched)));
    if (nul) {
        appendText(data, nul - data);
        m_dropping = true;
        return nul - data + 1;
    }
    if (lineFeed) {
        appendText(data, searched + 1);
        m_complete = true;
        return searched + 1;
    }
    const qsizetype split = endOfInput ? size : lastSafeSplit(data, size);
    appendText(data, split);
    return split;
}

// Appends bytes of the current run as well-formed UTF-8: a byte-order mark
// at the run's start is dropped, a byte outside any well-formed sequence
// becomes U+FFFD.
void LineCollector::appendText(const char *data, qsizetype size)
{
    if (size == 0)
        return;
    if (m_atRunStart && size >= byteOrderMarkSize
        && std::memcmp(data, byteOrderMark, byteOrderMarkSize) == 0) {
        data += byteOrderMarkSize;
        size -= byteOrderMarkSize;
    }
    m_atRunStart = false;
    const auto *bytes = reinterpret_cast<const uchar *>(data);
    const uchar *const end = bytes + size;
    while (bytes < end) {
        const uchar *const wellFormedEnd = endOfWellFormed(bytes, end);
        m_line.append(reinterpret_cast<const char *>(bytes), int(wellFormedEnd - bytes));
        bytes = wellFormedEnd;
        if (bytes < end) {
            m_line.append(replacementCharacter, int(replacementCharacterSize));
            ++bytes;
        }
    }
}

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

// Reads what is there, up to size bytes. Returns 0 at the end of the input and
// on a read error. A non-blocking descriptor with nothing to read yet is
// waited on, not polled in a loop; an interrupted read is repeated.
qsizetype readPiece(int fd, char *data, qsizetype size)
{
    for (;;) {
        const ssize_t got = ::read(fd, data, size_t(size));
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitUntilReadable(fd))
            continue;
        return 0;
    }
}

// Gives back what was read past the line feed, where the input can seek, so a
// command that reads the same input next starts on the second line.
void leaveUnread(int fd, qsizetype surplus)
{
    if (surplus > 0)
        ::lseek(fd, -off_t(surplus), SEEK_CUR);
}

} // namespace

QByteArray collectInputLine(int fd, qsizetype maxPieceSize)
{
    LineCollector collector;
    QByteArray buffer(int(maxHeldBytes + maxPieceSize), Qt::Uninitialized);
    qsizetype pieceSize = qMin(firstPieceSize, maxPieceSize);
    qsizetype held = 0; // bytes at the buffer's start that wait for more input
    for (;;) {
        const qsizetype got = readPiece(fd, buffer.data() + held, pieceSize);
        if (got == 0) {
            collector.feed(buffer.constData(), held, true);
            break;
        }
        const qsizetype available = held + got;
        const qsizetype used = collector.feed(buffer.constData(), available, false);
        if (collector.isComplete()) {
            leaveUnread(fd, available - used);
            break;
        }
        held = available - used;
        std::memmove(buffer.data(), buffer.constData() + used, size_t(held));
        pieceSize = qMin(pieceSize * 2, maxPieceSize);
    }
    return collector.takeLine();
}

QByteArray collectInputLine()
{
    return collectInputLine(STDIN_FILENO, largestPieceSize);
}
