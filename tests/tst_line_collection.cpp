// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Collecting the first line piece by piece must give exactly what decoding it
// whole gives, wherever the pieces happen to end, and take exactly the bytes
// that the line used from every kind of input, each read the way that suits
// it.

#include "input_line.h"
#include "io_sizes.h"
#include "reference_line.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstring>

#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/wait.h>
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

const char *nameOf(InputKind kind)
{
    static const char *const names[] = {"file",      "O_DIRECT file", "pipe",
                                        "socket",    "seqpacket",     "datagram",
                                        "terminal master", "raw terminal"};
    return names[int(kind)];
}

// A build with POSIX calls alone is exact from files, pipes, stream sockets
// and terminals; the other kinds need Linux's calls to be read exactly, or
// to be told apart at all.
#if SIMULATED_ERROR_POSIX_ONLY
const InputKind testedKinds[] = {InputKind::file, InputKind::pipe, InputKind::socket,
                                 InputKind::terminalMaster, InputKind::rawTerminal};
#else
const InputKind testedKinds[] = {InputKind::file,      InputKind::directFile, InputKind::pipe,
                                 InputKind::socket,    InputKind::seqpacket,  InputKind::datagram,
                                 InputKind::terminalMaster, InputKind::rawTerminal};
#endif

constexpr qsizetype largestTerminalInput = 2048;

const qsizetype pieceSizes[] = {1, 2, 3, 4, 5, 7, 13, 64, 4096, 65536};

QByteArray asBytes(const LineBuffer &line)
{
    return QByteArray(line.data(), int(line.size()));
}

// Reads both pipes to their ends, or until deadlineMs has passed; true where
// both ended.
bool readBothToEnd(int out, int err, QByteArray *written, QByteArray *errorWritten, int deadlineMs)
{
    QDeadlineTimer deadline(deadlineMs);
    pollfd ends[] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    QByteArray *into[] = {written, errorWritten};
    char buffer[65536];
    while (ends[0].fd >= 0 || ends[1].fd >= 0) {
        const int ready = ::poll(ends, 2, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        for (int i = 0; i < 2; ++i) {
            if (ends[i].fd < 0 || ends[i].revents == 0)
                continue;
            const ssize_t got = ::read(ends[i].fd, buffer, sizeof buffer);
            if (got > 0)
                into[i]->append(buffer, int(got));
            else if (got == 0 || errno != EINTR)
                ends[i].fd = -1;
        }
    }
    return true;
}

// The line a built program echoes with fd as its standard input, started
// as "PROGRAM x"; what it wrote, and how it ended, where that is not the
// contract's. It runs in a process group of its own, which is killed whole
// once the run is over or has outlasted its bound.
QByteArray lineEchoedBy(const QByteArray &program, int fd)
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return "no pipes";
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, fd, STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    char *const argv[] = {const_cast<char *>(program.constData()), const_cast<char *>("x"), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv, environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    QByteArray written;
    QByteArray errorWritten;
    const bool ended = spawned == 0 && readBothToEnd(out[0], err[0], &written, &errorWritten, 30000);
    ::close(out[0]);
    ::close(err[0]);
    if (spawned != 0)
        return "not started";
    ::kill(-pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const QByteArray echo = QString::fromLatin1(program).toUtf8() + ";x;";
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 10 || errorWritten != "this is a simulated error\n"
        || !written.startsWith(echo))
        return QByteArray(ended ? "" : "no end within 30 s, ") + "wait status " + QByteArray::number(status)
               + ", standard output [" + written.left(1000) + "], standard error [" + errorWritten + "]";
    return written.mid(echo.size());
}

// The line collected from fd: by this build's collection in pieces of at
// most pieceSize bytes, or where SIMULATED_ERROR_PROGRAM names a built
// program, by that program, which reads as it reads.
QByteArray collectLine(int fd, qsizetype pieceSize)
{
    const QByteArray program = qgetenv("SIMULATED_ERROR_PROGRAM");
    return program.isEmpty() ? asBytes(collectInputLine(fd, pieceSize)) : lineEchoedBy(program, fd);
}

// Each kind of ill-formed sequence (a surrogate, overlong forms of two, three
// and four bytes, values past U+10FFFF, a stray continuation byte, a lead
// byte without its continuation, a sequence cut short, impossible bytes) at
// each offset of a run of 64 ASCII bytes, one after the other.
QByteArray illFormedInAsciiRuns()
{
    const QByteArray illFormed[] = {"\xED\xA0\x80", "\xC0\x80", "\xE0\x80\xAF", "\xF0\x80\x80\xAF",
                                    "\xF4\x90\x80\x80", "\xF5\x80", "\x80", "\xC3" "A",
                                    "\xE2\x82", "\xFF"};
    QByteArray runs;
    for (const QByteArray &sequence : illFormed) {
        for (int offset = 0; offset < 64; ++offset)
            runs += QByteArray(offset, 'a') + sequence + QByteArray(64 - offset, 'b');
    }
    return runs;
}

// Why O_DIRECT cannot be had in the temporary folder; nothing where it can.
QString directRefusal()
{
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("no temporary file");
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_DIRECT);
    if (fd < 0)
        return QStringLiteral("the temporary folder's file system refuses O_DIRECT: ")
               + QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return {};
}

// From a regular file every read returns exactly the piece size asked for,
// so the piece boundaries are known. With O_DIRECT the reads must be
// aligned, and a byte-order mark or a piece of odd size leaves every later
// piece unaligned.
Collected collectFromFile(const QByteArray &input, qsizetype pieceSize, bool direct)
{
    QTemporaryFile file;
    if (!file.open() || file.write(input) != input.size() || !file.flush())
        return {};
    const int fd = direct ? ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_DIRECT)
                          : ::dup(file.handle());
    if (fd < 0)
        return {};
    ::lseek(fd, 0, SEEK_SET);
    Collected collected;
    collected.line = collectLine(fd, pieceSize);
    collected.taken = ::lseek(fd, 0, SEEK_CUR);
    ::close(fd);
    return collected;
}

// What is left in a file, a pipe, a stream socket or a terminal that has
// nothing more coming.
QByteArray leftIn(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    QByteArray left;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        left.append(buffer, int(got));
    return left;
}

qint64 bytesLeft(int fd)
{
    return leftIn(fd).size();
}

Collected collectThenCountLeft(int fd, const QByteArray &input, qsizetype pieceSize)
{
    Collected collected;
    collected.line = collectLine(fd, pieceSize);
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
    collected.line = collectLine(ends[0], pieceSize);
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

Collected collect(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    switch (kind) {
    case InputKind::file:
    case InputKind::directFile:
        return collectFromFile(input, pieceSize, kind == InputKind::directFile);
    case InputKind::pipe:
    case InputKind::socket:
        return collectFromPipeOrSocket(input, pieceSize, kind);
    case InputKind::seqpacket:
    case InputKind::datagram:
        return collectFromMessages(input, pieceSize, kind);
    case InputKind::terminalMaster:
    case InputKind::rawTerminal:
        return collectFromTerminal(input, pieceSize, kind);
    }
    return {};
}

// A terminal holds only so much, and each direct read goes to the disk: piece
// sizes that would make thousands of them are left out.
bool kindTakes(InputKind kind, const QByteArray &input, qsizetype pieceSize)
{
    if (kind == InputKind::terminalMaster || kind == InputKind::rawTerminal)
        return input.size() <= largestTerminalInput;
    if (kind == InputKind::directFile)
        return input.size() / pieceSize <= largestTerminalInput;
    return true;
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

// Descriptors of one kind of input, closed when done; fd is the input.
struct OpenInput
{
    int fd = -1;
    ~OpenInput() { ::close(fd); }
};

// Creation records of files with these names, in this order, on an inotify
// descriptor that watches their folder.
int inotifyWithRecords(const QTemporaryDir &folder, const QList<QByteArray> &names)
{
    const int fd = ::inotify_init1(IN_NONBLOCK);
    if (fd < 0 || ::inotify_add_watch(fd, QFile::encodeName(folder.path()).constData(), IN_CREATE) < 0)
        return fd;
    for (const QByteArray &name : names)
        QFile(folder.filePath(QFile::decodeName(name))).open(QIODevice::WriteOnly);
    return fd;
}

// The kinds of input that are not collected piece by piece above.
enum class Setup { closed, peekedSocket, peekedSeqpacket, listeningSocket, procFile };

// What a file under /proc that reports no size holds: several lines that
// stay as they are.
const char procFile[] = "/proc/filesystems";

QByteArray contentOf(const char *path)
{
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens the input holding content, with nothing more to come; where it
// cannot hold content, nothing is written.
bool openInputHolding(Setup setup, const QByteArray &content, OpenInput &input)
{
    int ends[2] = {-1, -1};
    switch (setup) {
    case Setup::closed:
        return true;
    case Setup::peekedSocket:
    case Setup::peekedSeqpacket: {
        // The socket's owner peeked at its first bytes with a peek offset,
        // which makes the next peek start after them, while a receive starts
        // at the first byte. A seqpacket socket gets a message for each line.
        const int offset = 0;
        char peeked[3];
        if (::socketpair(AF_UNIX, setup == Setup::peekedSocket ? SOCK_STREAM : SOCK_SEQPACKET, 0, ends) != 0)
            return false;
        input.fd = ends[0];
        bool written = ::setsockopt(input.fd, SOL_SOCKET, SO_PEEK_OFF, &offset, sizeof offset) == 0;
        for (qsizetype at = 0, next; written && at < content.size(); at = next) {
            next = content.indexOf('\n', at) + 1;
            next = next > 0 ? next : content.size();
            written = ::write(ends[1], content.constData() + at, size_t(next - at)) == next - at;
        }
        return written && ::close(ends[1]) == 0 && ::recv(input.fd, peeked, sizeof peeked, MSG_PEEK) == sizeof peeked;
    }
    case Setup::listeningSocket: {
        // Bound to an address of the kernel's choosing, as a bare family asks.
        const sa_family_t family = AF_UNIX;
        input.fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        return input.fd >= 0 && ::bind(input.fd, reinterpret_cast<const sockaddr *>(&family), sizeof family) == 0
               && ::listen(input.fd, 1) == 0;
    }
    case Setup::procFile:
        input.fd = ::open(procFile, O_RDONLY);
        return input.fd >= 0;
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class LineCollection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void matchesWholeDecoding_data();
    void matchesWholeDecoding();
    void matchesWholeDecodingOnRandomInput();
    void restLeftForEachKind_data();
    void restLeftForEachKind();
    void recordsAfterTheLineLeftForNextReader();

private:
    QString m_directRefusal;
};

void LineCollection::initTestCase()
{
    m_directRefusal = directRefusal();
}

void LineCollection::matchesWholeDecoding_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("input");

    const struct
    {
        const char *name;
        QByteArray input;
    } inputs[] = {
        {"plain line and more", "hello\nworld\n"},
        {"two-byte characters across pieces", repeated("\xC3\xA9", 40) + "\n"},
        {"three-byte characters across pieces", repeated("\xE2\x82\xAC", 40) + "\n"},
        {"four-byte characters across pieces", repeated("\xF0\x9F\x98\x80", 40) + "\n"},
        {"mixed widths", repeated("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", 20) + "\nx"},
        {"invalid bytes at every position", repeated("\xFF\x80\xC3\xE2\x82" "a\xF0\x9F\x98", 15) + "\n"},
        {"truncated sequence before the line feed", "abc\xE2\x82\nz\n"},
        {"truncated sequence at end of input", "abcdefg\xF0\x9F\x98"},
        {"overlong and surrogate encodings",
         repeated("\xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80", 6) + "\n"},
        {"runs of continuation bytes", repeated("\x80", 50) + "\n"},
        {"byte-order marks at start and inside", "\xEF\xBB\xBF\xEF\xBB\xBF" "a\xEF\xBB\xBF\xEF\xBB\xBF\n"},
        {"byte-order mark after a NUL-cut line", QByteArray("ab\0cd\n\xEF\xBB\xBF" "ef\n", 12)},
        {"split sequence around a NUL-cut line", QByteArray("a\xC3\0junk\n\xA9" "b\n", 12)},
        {"NUL in a later piece of a long line",
         repeated("abcdefghij", 30) + QByteArray("\0dropped", 8) + repeated("z", 40) + "\nkept\n"},
        {"many NUL-cut lines", repeated(QByteArray("x\0y\n", 4), 60) + "end\n"},
        {"NUL-cut line at end of input", QByteArray("ab\0cd", 5)},
        {"empty input", QByteArray()},
        {"line feed alone", "\n\n"},
        {"line longer than the first piece", repeated("0123456789", 2000) + "\nrest\n"},
        // The block check sees 32 bytes at a time: each kind of ill-formed
        // sequence at every offset of an ASCII run crosses its blocks every way.
        {"each ill-formed sequence at every offset of a 64-byte ASCII run", illFormedInAsciiRuns() + "\n"},
    };
    for (InputKind kind : testedKinds) {
        for (const auto &row : inputs) {
            if (kindTakes(kind, row.input, pieceSizes[std::size(pieceSizes) - 1]))
                QTest::addRow("%s: %s", nameOf(kind), row.name) << int(kind) << row.input;
        }
    }
}

void LineCollection::matchesWholeDecoding()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, input);
    const auto inputKind = InputKind(kind);
    if (inputKind == InputKind::directFile && !m_directRefusal.isEmpty())
        QSKIP(qPrintable(m_directRefusal));

    for (qsizetype pieceSize : pieceSizes) {
        if (!kindTakes(inputKind, input, pieceSize))
            continue;
        const Collected collected = collect(input, pieceSize, inputKind);
        QCOMPARE(collected.line, referenceLine(input).toUtf8());
        QCOMPARE(collected.taken, expectedTaken(input, pieceSize, inputKind));
    }
}

// Inputs built from the bytes that matter to the rules, in random order, with
// random piece sizes; the seed is fixed so that a failure repeats.
void LineCollection::matchesWholeDecodingOnRandomInput()
{
    static const char alphabet[] = "\0\n\r" "aZ\x7F\x80\x8F\x9F\xA0\xA9\xBB\xBF\xC0\xC2\xC3"
                                   "\xDF\xE0\xE2\xED\xEF\xF0\xF4\xF5\xFF";
    QList<InputKind> kinds(std::begin(testedKinds), std::end(testedKinds));
    if (!m_directRefusal.isEmpty())
        kinds.removeAll(InputKind::directFile);
    QRandomGenerator random(20261208);
    for (int round = 0; round < 3000; ++round) {
        QByteArray input;
        const int length = int(random.bounded(60));
        for (int i = 0; i < length; ++i)
            input += alphabet[random.bounded(int(sizeof alphabet - 1))];
        const qsizetype pieceSize = 1 + random.bounded(9);
        const InputKind kind = kinds.at(int(random.bounded(kinds.size())));
        const Collected collected = collect(input, pieceSize, kind);
        QVERIFY2(collected.line == referenceLine(input).toUtf8(),
                 qPrintable("input " + input.toHex() + " piece size " + QString::number(pieceSize)
                            + " kind " + nameOf(kind)));
        QCOMPARE(collected.taken, expectedTaken(input, pieceSize, kind));
    }
}

// The kinds of input beyond those above: exactly the line is taken, and the
// next reader finds exactly the rest; input that nothing can come from ends
// at once.
void LineCollection::restLeftForEachKind_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QByteArray>("content");

    const QByteArray lines = "line\nrest\n";
    QTest::newRow("closed descriptor") << Setup::closed << QByteArray();
    if (!SIMULATED_ERROR_POSIX_ONLY) {
        QTest::newRow("stream socket with a peek offset") << Setup::peekedSocket << lines;
        QTest::newRow("seqpacket socket with a peek offset") << Setup::peekedSeqpacket << lines;
    }
    QTest::newRow("listening seqpacket socket") << Setup::listeningSocket << QByteArray();
    // Some such files (/proc/kmsg) hand over what a read takes and take
    // lseek without giving anything back.
    QTest::newRow("regular file of no size") << Setup::procFile << contentOf(procFile);
}

void LineCollection::restLeftForEachKind()
{
    QFETCH(Setup, setup);
    QFETCH(QByteArray, content);

    OpenInput input;
    QVERIFY(openInputHolding(setup, content, input));
    QCOMPARE(asBytes(collectInputLine(input.fd, pipeCapacity)), referenceLine(content).toUtf8());
    if (input.fd >= 0)
        QCOMPARE(leftIn(input.fd), content.mid(referenceConsumed(content)));
}

// Input that brings as many whole records as a read has room for: the line
// takes the first record whole, and the other two stay for the next reader.
// Each creation record is 16 bytes of header (watch 1, IN_CREATE, cookie 0,
// the name's padded length) and the name, padded with NULs.
void LineCollection::recordsAfterTheLineLeftForNextReader()
{
    // Records of 80 and 48 bytes: a read that grew by doubling to 128 bytes
    // would take the second with the first.
    const QList<QByteArray> names{"a\nb\n" + QByteArray(56, 'x'), QByteArray(20, 's'), "third"};
    QTemporaryDir folder;
    const int fd = inotifyWithRecords(folder, names);
    QVERIFY(fd >= 0);

    const QByteArray line = collectLine(fd, pipeCapacity);
    QByteArray left(4096, Qt::Uninitialized);
    left.resize(int(qMax<ssize_t>(::read(fd, left.data(), size_t(left.size())), 0)));
    ::close(fd);

    // The first record's header is 01 00 00 00, then a NUL: the rest of its
    // line is dropped up to the name's first line feed.
    QCOMPARE(line, QByteArray("\x01" "b\n"));
    // Each name is padded with NULs to a multiple of 16 bytes.
    const auto record = [](const QByteArray &name) {
        const int padded = int(name.size() + 16) / 16 * 16;
        return QByteArray::fromHex("01000000" "00010000" "00000000") + char(padded) + QByteArray(3, '\0')
               + name.leftJustified(padded, '\0');
    };
    QCOMPARE(left, record(names[1]) + record(names[2]));
}

QTEST_GUILESS_MAIN(LineCollection)
#include "tst_line_collection.moc"
