// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Collecting the first line piece by piece must give exactly what decoding it
// whole gives, wherever the pieces happen to end, and take exactly the bytes
// that the line used from every kind of input.

#include "input_line.h"
#include "reference_line.h"

#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>

#include <optional>

#include <fcntl.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct Collected
{
    QByteArray line;
    qint64 taken = -1; // bytes taken out of the input
};

// Every kind of input the program may be handed. A message socket receives
// whole messages, so it takes every message up to the one the line ends in;
// a terminal's own buffer holds at most a few KiB.
enum class InputKind { file, directFile, pipe, socket, seqpacket, datagram, terminalMaster, rawTerminal };

const InputKind allInputKinds[] = {InputKind::file,      InputKind::directFile, InputKind::pipe,
                                   InputKind::socket,    InputKind::seqpacket,  InputKind::datagram,
                                   InputKind::terminalMaster, InputKind::rawTerminal};

constexpr qsizetype largestTerminalInput = 2048;

QByteArray asBytes(const LineBuffer &line)
{
    return QByteArray(line.data(), int(line.size()));
}

// From a regular file every read returns exactly the piece size asked for,
// so the piece boundaries are known. With O_DIRECT (where the file system
// has it), the reads must be aligned, and a byte-order mark or a piece of
// odd size leaves every later piece unaligned.
std::optional<Collected> collectFromFile(const QByteArray &input, qsizetype pieceSize, bool direct)
{
    QTemporaryFile file;
    if (!file.open() || file.write(input) != input.size() || !file.flush())
        return Collected{};
    const int fd = direct ? ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_DIRECT)
                          : ::dup(file.handle());
    if (fd < 0)
        return std::nullopt;
    ::lseek(fd, 0, SEEK_SET);
    Collected collected;
    collected.line = asBytes(collectInputLine(fd, pieceSize));
    collected.taken = ::lseek(fd, 0, SEEK_CUR);
    ::close(fd);
    return collected;
}

// What is left in a pipe, a stream socket or a terminal that has nothing
// more coming.
qint64 bytesLeft(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    qint64 left = 0;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        left += got;
    return left;
}

Collected collectThenCountLeft(int fd, const QByteArray &input, qsizetype pieceSize)
{
    Collected collected;
    collected.line = asBytes(collectInputLine(fd, pieceSize));
    collected.taken = input.size() - bytesLeft(fd);
    return collected;
}

// A pipe or a stream socket that holds the whole input (the inputs are small)
// and has no writer left: each look brings a whole piece, up to the end.
Collected collectFromPipeOrSocket(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    int ends[2];
    const int made = kind == InputKind::pipe ? ::pipe(ends) : ::socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
    if (made != 0 || ::write(ends[1], input.constData(), size_t(input.size())) != input.size())
        return {};
    ::close(ends[1]);
    const Collected collected = collectThenCountLeft(ends[0], input, pieceSize);
    ::close(ends[0]);
    return collected;
}

// The input in a few messages, two empty ones first, on a socket shut down
// for reading once they are queued (a datagram socket has no other end). The
// datagram socket is non-blocking, where "try again" stands for its end.
// Taken is what the messages received held.
Collected collectFromMessages(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    int ends[2];
    if (::socketpair(AF_UNIX, kind == InputKind::seqpacket ? SOCK_SEQPACKET : SOCK_DGRAM, 0, ends) != 0)
        return {};
    const qsizetype messageSize = qMax<qsizetype>(pieceSize, (input.size() + 7) / 8);
    ::send(ends[1], "", 0, 0);
    ::send(ends[1], "", 0, 0);
    for (qsizetype at = 0; at < input.size(); at += messageSize) {
        const QByteArray message = input.mid(at, messageSize);
        if (::send(ends[1], message.constData(), size_t(message.size()), 0) != message.size())
            return {};
    }
    ::shutdown(ends[0], SHUT_RD);
    if (kind == InputKind::datagram)
        ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    Collected collected;
    collected.line = asBytes(collectInputLine(ends[0], pieceSize));
    collected.taken = input.size();
    QByteArray message(int(messageSize), Qt::Uninitialized);
    for (ssize_t got; (got = ::recv(ends[0], message.data(), size_t(message.size()), MSG_DONTWAIT)) > 0;)
        collected.taken -= got;
    ::close(ends[0]);
    ::close(ends[1]);
    return collected;
}

// A pseudo-terminal in raw mode passes every byte unchanged: as the master
// side, reading what was written to the terminal (which reports the end once
// the terminal is closed), or as the terminal, reading what was typed (a read
// returns 0 once nothing is waiting, with VMIN 0).
Collected collectFromTerminal(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    int master = -1;
    int terminal = -1;
    termios settings{};
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::openpty(&master, &terminal, nullptr, &settings, nullptr) != 0)
        return {};
    const bool fromMaster = kind == InputKind::terminalMaster;
    const int writer = fromMaster ? terminal : master;
    const int reader = fromMaster ? master : terminal;
    Collected collected;
    if (::write(writer, input.constData(), size_t(input.size())) == input.size()) {
        if (fromMaster)
            ::close(terminal);
        else
            ::tcdrain(master);
        collected = collectThenCountLeft(reader, input, pieceSize);
    }
    ::close(reader);
    if (!fromMaster)
        ::close(master);
    return collected;
}

// Nothing when this kind cannot be had here (no O_DIRECT on the file system
// of the temporary folder, input too long for a terminal) or would take long.
std::optional<Collected> collect(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    switch (kind) {
    case InputKind::file:
        return collectFromFile(input, pieceSize, false);
    case InputKind::directFile:
        // Each of its reads goes to the disk.
        if (input.size() / pieceSize > largestTerminalInput)
            return std::nullopt;
        return collectFromFile(input, pieceSize, true);
    case InputKind::pipe:
    case InputKind::socket:
        return collectFromPipeOrSocket(input, pieceSize, kind);
    case InputKind::seqpacket:
    case InputKind::datagram:
        return collectFromMessages(input, pieceSize, kind);
    case InputKind::terminalMaster:
    case InputKind::rawTerminal:
        if (input.size() > largestTerminalInput)
            return std::nullopt;
        return collectFromTerminal(input, pieceSize, kind);
    }
    return std::nullopt;
}

// What a kind takes of the input: the line's bytes, or for messages every
// message up to the one the line ends in.
qint64 expectedTaken(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    const qint64 consumed = referenceConsumed(input);
    if (kind != InputKind::seqpacket && kind != InputKind::datagram)
        return consumed;
    const qint64 messageSize = qMax<qsizetype>(pieceSize, (input.size() + 7) / 8);
    return qMin<qint64>(input.size(), (consumed + messageSize - 1) / messageSize * messageSize);
}

QByteArray repeated(const char *text, int times)
{
    return QByteArray(text).repeated(times);
}

} // namespace

class LineCollection : public QObject
{
    Q_OBJECT

private slots:
    void matchesWholeDecoding_data();
    void matchesWholeDecoding();
    void matchesWholeDecodingOnRandomInput();
};

void LineCollection::matchesWholeDecoding_data()
{
    QTest::addColumn<QByteArray>("input");

    QTest::newRow("plain line and more") << QByteArray("hello\nworld\n");
    QTest::newRow("two-byte characters across pieces") << repeated("\xC3\xA9", 40) + "\n";
    QTest::newRow("three-byte characters across pieces") << repeated("\xE2\x82\xAC", 40) + "\n";
    QTest::newRow("four-byte characters across pieces") << repeated("\xF0\x9F\x98\x80", 40) + "\n";
    QTest::newRow("mixed widths") << repeated("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", 20) + "\nx";
    QTest::newRow("invalid bytes at every position")
        << repeated("\xFF\x80\xC3\xE2\x82" "a\xF0\x9F\x98", 15) + "\n";
    QTest::newRow("truncated sequence before the line feed") << QByteArray("abc\xE2\x82\nz\n");
    QTest::newRow("truncated sequence at end of input") << QByteArray("abcdefg\xF0\x9F\x98");
    QTest::newRow("overlong and surrogate encodings")
        << repeated("\xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80", 6) + "\n";
    QTest::newRow("runs of continuation bytes") << repeated("\x80", 50) + "\n";
    QTest::newRow("byte-order marks at start and inside")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "a\xEF\xBB\xBF\xEF\xBB\xBF\n");
    QTest::newRow("byte-order mark after a NUL-cut line")
        << QByteArray("ab\0cd\n\xEF\xBB\xBF" "ef\n", 12);
    QTest::newRow("split sequence around a NUL-cut line")
        << QByteArray("a\xC3\0junk\n\xA9" "b\n", 12);
    QTest::newRow("NUL in a later piece of a long line")
        << repeated("abcdefghij", 30) + QByteArray("\0dropped", 8) + repeated("z", 40)
           + "\nkept\n";
    QTest::newRow("many NUL-cut lines") << repeated(QByteArray("x\0y\n", 4), 60) + "end\n";
    QTest::newRow("NUL-cut line at end of input") << QByteArray("ab\0cd", 5);
    QTest::newRow("empty input") << QByteArray();
    QTest::newRow("line feed alone") << QByteArray("\n\n");
    QTest::newRow("line longer than the first piece") << repeated("0123456789", 2000) + "\nrest\n";
}

void LineCollection::matchesWholeDecoding()
{
    QFETCH(QByteArray, input);

    for (InputKind kind : allInputKinds) {
        for (qsizetype pieceSize : {1, 2, 3, 4, 5, 7, 13, 64, 4096, 65536}) {
            const std::optional<Collected> collected = collect(input, pieceSize, kind);
            if (!collected)
                continue;
            QCOMPARE(collected->line, referenceLine(input).toUtf8());
            QCOMPARE(collected->taken, expectedTaken(input, pieceSize, kind));
        }
    }
}

// Inputs built from the bytes that matter to the rules, in random order, with
// random piece sizes; the seed is fixed so that a failure repeats.
void LineCollection::matchesWholeDecodingOnRandomInput()
{
    static const char alphabet[] = "\0\n\r" "aZ\x7F\x80\x8F\x9F\xA0\xA9\xBB\xBF\xC0\xC2\xC3"
                                   "\xDF\xE0\xE2\xED\xEF\xF0\xF4\xF5\xFF";
    QRandomGenerator random(20261208);
    for (int round = 0; round < 3000; ++round) {
        QByteArray input;
        const int length = int(random.bounded(60));
        for (int i = 0; i < length; ++i)
            input += alphabet[random.bounded(int(sizeof alphabet - 1))];
        const qsizetype pieceSize = 1 + random.bounded(9);
        const InputKind kind = allInputKinds[random.bounded(int(std::size(allInputKinds)))];
        const std::optional<Collected> collected = collect(input, pieceSize, kind);
        if (!collected)
            continue;
        QVERIFY2(collected->line == referenceLine(input).toUtf8(),
                 qPrintable("input " + input.toHex() + " piece size " + QString::number(pieceSize)
                            + " kind " + QString::number(int(kind))));
        QCOMPARE(collected->taken, expectedTaken(input, pieceSize, kind));
    }
}

QTEST_GUILESS_MAIN(LineCollection)
#include "tst_line_collection.moc"
