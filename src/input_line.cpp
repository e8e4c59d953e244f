// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Collecting the first line of the input, as decoding it whole would give it.

#include "input_line.h"

#include "input/chosen_reader.h"
#include "io_sizes.h"
#include "well_formed_utf8.h"

#include <cstring>

#include <unistd.h>

namespace {

// A look into a pipe brings no more than the pipe holds; a larger piece
// would only reserve more memory.
constexpr qsizetype largestPieceSize = pipeCapacity;

const char byteOrderMark[] = "\xEF\xBB\xBF";
constexpr qsizetype byteOrderMarkSize = 3;

// Collects the first line as the text that decoding it whole with
// QString::fromUtf8 gives, kept in UTF-8: each run of bytes up to a NUL or
// the line feed is decoded on its own, a byte-order mark at a run's start is
// dropped, and every byte that is not part of a well-formed sequence becomes
// U+FFFD.
//
// Input is read straight into the line's buffer, after the text so far, and
// taken in where it lies: well-formed text that follows the text so far
// directly stays where it is, and only what comes after a dropped byte moves.
class LineCollector
{
public:
    // Space for the next piece of input, after the text and after the few
    // bytes of an unfinished sequence held back from the last piece.
    char *spaceForPiece(qsizetype pieceSize);
    // Takes in a piece of got bytes read into that space; 0 is the end of
    // the input.
    void takeIn(qsizetype got);
    bool isComplete() const { return m_complete; }
    // The bytes of the last piece past the line feed.
    qsizetype surplus() const { return m_complete ? m_end - m_in : 0; }
    LineBuffer takeLine() { return std::move(m_line); }

private:
    void takeInRun(bool endOfInput);
    void skipDroppedPart();
    void appendRun(qsizetype size);
    void keepText(qsizetype size);
    void replaceByte();

    LineBuffer m_line;
    qsizetype m_held = 0; // bytes after the text that wait for the next piece
    // While a piece is taken in: where the text ends, the next input byte,
    // and the end of the piece.
    char *m_out = nullptr;
    char *m_in = nullptr;
    char *m_end = nullptr;
    bool m_dropping = false; // between a NUL and the line feed that ends its line
    bool m_atRunStart = true; // no byte of the current run taken in yet
    bool m_complete = false;
};

// Each byte becomes at most three (U+FFFD), so three times the piece is
// reserved: the text then never overtakes the input it is made from.
char *LineCollector::spaceForPiece(qsizetype pieceSize)
{
    return m_line.endWithRoom(replacementCharacterSize * (m_held + pieceSize)) + m_held;
}

void LineCollector::takeIn(qsizetype got)
{
    const bool endOfInput = got == 0;
    m_out = m_line.end();
    m_in = m_out;
    m_end = m_in + m_held + got;
    while (m_in < m_end && !m_complete) {
        if (m_dropping) {
            skipDroppedPart();
            continue;
        }
        takeInRun(endOfInput);
        if (!m_dropping)
            break; // complete, or a few bytes held back for the next piece
    }
    m_held = m_complete ? 0 : m_end - m_in;
    if (m_held > 0 && m_out != m_in)
        std::memmove(m_out, m_in, size_t(m_held));
    m_line.resize(m_out - m_line.data());
}

// Takes in bytes of the current run; stops after a NUL (switching to
// dropping), after the line feed (completing the line), or where a sequence
// may go on in the next piece.
void LineCollector::takeInRun(bool endOfInput)
{
    const qsizetype rest = m_end - m_in;
    const auto lineFeed = static_cast<const char *>(std::memchr(m_in, '\n', size_t(rest)));
    const qsizetype searched = lineFeed ? lineFeed - m_in : rest;
    const auto nul = static_cast<const char *>(std::memchr(m_in, '\0', size_t(searched)));
    if (nul) {
        appendRun(nul - m_in);
        ++m_in;
        m_dropping = true;
    } else if (lineFeed) {
        appendRun(searched + 1);
        m_complete = true;
    } else {
        appendRun(endOfInput ? rest : decodableNow(reinterpret_cast<const uchar *>(m_in), rest));
    }
}

void LineCollector::skipDroppedPart()
{
    const auto lineFeed = static_cast<char *>(std::memchr(m_in, '\n', size_t(m_end - m_in)));
    m_in = lineFeed ? lineFeed + 1 : m_end;
    m_dropping = !lineFeed;
    m_atRunStart = true;
}

// Takes size bytes of the current run into the text: a byte-order mark at the
// run's start is dropped, a byte outside any well-formed sequence becomes
// U+FFFD.
void LineCollector::appendRun(qsizetype size)
{
    if (size == 0)
        return;
    if (m_atRunStart && size >= byteOrderMarkSize
        && std::memcmp(m_in, byteOrderMark, byteOrderMarkSize) == 0) {
        m_in += byteOrderMarkSize;
        size -= byteOrderMarkSize;
    }
    m_atRunStart = false;
    while (size > 0) {
        const auto in = reinterpret_cast<const uchar *>(m_in);
        const qsizetype wellFormed = endOfWellFormedUtf8(in, in + size) - in;
        keepText(wellFormed);
        size -= wellFormed;
        if (size > 0) {
            replaceByte();
            --size;
        }
    }
}

// Well-formed input becomes text as it is; it moves only when something
// before it in the piece was dropped or replaced.
void LineCollector::keepText(qsizetype size)
{
    if (m_out != m_in)
        std::memmove(m_out, m_in, size_t(size));
    m_out += size;
    m_in += size;
}

// U+FFFD takes three bytes where the byte it replaces took one. Before it
// could overwrite input not yet taken in, the rest of the piece moves to the
// end of the space reserved for it; from there, at most three bytes for each
// byte, the text cannot catch up with it again.
void LineCollector::replaceByte()
{
    if (m_in - m_out < replacementCharacterSize - 1) {
        const qsizetype rest = m_end - m_in;
        char *const moved = m_out + (replacementCharacterSize - 1) * rest;
        std::memmove(moved, m_in, size_t(rest));
        m_in = moved;
        m_end = moved + rest;
    }
    std::memcpy(m_out, replacementCharacter, replacementCharacterSize);
    m_out += replacementCharacterSize;
    ++m_in;
}

} // namespace

namespace {

// Where looking takes the bytes, the line can leave nothing behind but what
// follows its line feed: one byte is looked at at a time.
qsizetype lookSize(const ChosenReader &input, qsizetype pieceSize)
{
    return input.takesAsItLooks() ? 1 : pieceSize;
}

} // namespace

// A piece that holds no line feed is used whole, so it is taken out of the
// input as soon as it is looked at, before it is decoded: a writer can refill
// the pipe meanwhile. Pieces start at a page, so that a short line costs one
// page of memory however much input waits behind it, and double up to
// maxPieceSize while looks fill them. A look may hand the input to a reader
// that takes as it looks (the way chosen first was refused), so whether the
// bytes are still to be taken is asked after it.
LineBuffer collectInputLine(int fd, qsizetype maxPieceSize)
{
    LineCollector collector;
    ChosenReader input(fd);
    qsizetype pieceSize = qMin(pageSize, maxPieceSize);
    for (;;) {
        const qsizetype size = lookSize(input, pieceSize);
        char *const piece = collector.spaceForPiece(size);
        const qsizetype got = input.look(piece, size);
        const bool toTake = !input.takesAsItLooks();
        const bool hasLineFeed = std::memchr(piece, '\n', size_t(got)) != nullptr;
        if (toTake && !hasLineFeed)
            input.take(got);
        collector.takeIn(got);
        // Every byte looked at is used, but those after the line feed.
        if (toTake && hasLineFeed)
            input.take(got - collector.surplus());
        if (got == 0 || collector.isComplete())
            return collector.takeLine();
        if (got == pieceSize)
            pieceSize = qMin(2 * pieceSize, maxPieceSize);
    }
}

LineBuffer collectInputLine()
{
    return collectInputLine(STDIN_FILENO, largestPieceSize);
}
