// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// What the program does when its caller mistreats it: odd and failing input
// descriptors, signals, broken pipes, and arguments and lines at the extremes.
// Every case must end promptly with the output the contract gives.

#include "program_run.h"
#include "reference_line.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <csignal>

namespace {

// The expected echo of a line: what the collection rules make of the input,
// written in UTF-8.
QByteArray echoedLine(const QByteArray &input)
{
    return referenceLine(input).toUtf8();
}

// CPU time the process has used so far, in clock ticks (utime + stime).
qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

QList<QByteArray> repeatedList(int count, const QByteArray &element)
{
    QList<QByteArray> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list << element;
    return list;
}

QByteArray mixedText(int size)
{
    const QByteArray unit = "abc\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 ";
    return unit.repeated(size / unit.size() + 1).left(size);
}

QString readLog(const QString &path)
{
    QFile log(path);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

// What strace is asked: to trace the call that the injection fails and the
// calls traced besides, to fail as the injection says, to write its log to
// logPath and to name each descriptor's file there (-y).
// injection: one or more of strace's injections, separated by spaces.
QStringList straceCommand(const QString &strace, const QString &logPath, const QString &injection,
                          const QString &traced)
{
    const QStringList injections = injection.split(' ');
    QStringList calls;
    for (const QString &each : injections)
        calls << each.section(':', 0, 0);
    if (!traced.isEmpty())
        calls << traced;
    QStringList command{strace, "-qq", "-y", "-o", logPath, "-e", "trace=" + calls.join(',')};
    for (const QString &each : injections) {
        if (each.contains(':'))
            command << "-e" << "inject=" + each;
    }
    return command;
}

// Runs command (strace's, then the program and its arguments), through
// exec_as with options where given, then cat on the same input.
Outcome runTraced(const QStringList &options, const QStringList &command, const SharedInput &input,
                  const QList<QByteArray> &pieces, const std::function<bool()> &readyForLastPiece = {})
{
    QStringList through = command;
    if (!options.isEmpty())
        through = QStringList{EXEC_AS} + options + QStringList{command.first()} + command;
    // A sanitizer build's leak check needs ptrace, which strace holds.
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    const Outcome outcome = runThenNextCommand(input, through, pieces, 200, readyForLastPiece);
    qunsetenv("ASAN_OPTIONS");
    return outcome;
}

// Which of the program's calls (1 for the first) is the first whose line in
// strace's log matches pattern; 0 where none does.
int tracedCall(const QString &log, const QString &call, const QString &pattern)
{
    const QStringList calls = log.split('\n').filter(QRegularExpression("^" + call + R"(\()"));
    for (int i = 0; i < calls.size(); ++i) {
        if (calls.at(i).contains(QRegularExpression(pattern)))
            return i + 1;
    }
    return 0;
}

// What marks the program's own call where others make the same call before
// it: the loader opens files before /dev/null is opened, a sanitizer's
// runtime makes pipes without flags to probe memory, and a terminal is asked
// other things before its packet mode, and reads a socket (a file's reads
// are told by its path).
QString ownCallPattern(const QString &call, SharedInput::Source source)
{
    if (call == QLatin1String("read") && source != SharedInput::Source::file)
        return QStringLiteral("^read\\(0<");
    if (call == QLatin1String("openat"))
        return QStringLiteral(R"("/dev/null")");
    if (call == QLatin1String("pipe2"))
        return QStringLiteral("O_CLOEXEC");
    if (call == QLatin1String("ioctl"))
        return QStringLiteral("TIOCGPKT");
    return {};
}

// The call was failed by strace, and where proof is given, the calls of the
// way that should then have taken over are in the log.
void verifyInjected(const QString &log, const QString &call, const QString &proof)
{
    QVERIFY2(log.contains(QRegularExpression("^" + call + R"(\(.*\(INJECTED\)$)", QRegularExpression::MultilineOption)),
             qPrintable("strace injected no failure into " + call + ":\n" + log.right(4000)));
    if (!proof.isEmpty())
        QVERIFY2(log.contains(QRegularExpression(proof, QRegularExpression::MultilineOption)),
                 qPrintable("no sign of the way that should have taken over:\n" + log.right(4000)));
}

} // namespace

class Faults : public QObject
{
    Q_OBJECT

private slots:
    void waitingInputUsesNoCpu_data();
    void waitingInputUsesNoCpu();
    void lineTricklingByteByByte();
    void stoppedAndContinuedMidLine();
    void injectedFailures_data();
    void injectedFailures();
    void brokenPipe_data();
    void brokenPipe();
    void allStandardStreamsClosed();
    void extremeArguments_data();
    void extremeArguments();
    void extremeLines_data();
    void extremeLines();
};

void Faults::waitingInputUsesNoCpu_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("ending"); // the input's last piece, after the wait

    const QByteArray lineFeedAndMore = "d\nnot this\n";
    QTest::newRow("blocking standard input") << QStringList() << lineFeedAndMore;
    QTest::newRow("non-blocking standard input") << QStringList{"--nonblocking-stdin"} << lineFeedAndMore;
    // poll reports the socket readable while a peek finds nothing to read.
    QTest::newRow("non-blocking socket holding an out-of-band byte")
        << QStringList{"--urgent-socket-stdin", "--nonblocking-stdin"} << lineFeedAndMore;
    // Every read of a terminal's master side in packet mode starts with a
    // status byte: a read of one byte brings that byte and never the data.
    QTest::newRow("pseudo-terminal master in packet mode") << QStringList{"--packet-terminal-stdin"}
                                                           << lineFeedAndMore;
    // poll reports an error besides, which is only an entry on the socket's
    // error queue: no end.
    QTest::newRow("non-blocking UDP socket with an ICMP error queued")
        << QStringList{"--udp-error-stdin", "--nonblocking-stdin"} << lineFeedAndMore;
    // A receive that may wait, and poll, hold back until 1 MiB is queued.
    const QStringList lowWaterMark{"--tcp-stdin", "--low-water-stdin"};
    QTest::newRow("TCP socket whose owner set a low-water mark") << lowWaterMark << lineFeedAndMore;
    // Its end, seen after the peeks that found nothing, ends the line.
    QTest::newRow("TCP socket whose owner set a low-water mark, ending without a line feed")
        << lowWaterMark << QByteArray("d");
}

void Faults::waitingInputUsesNoCpu()
{
    SKIP_ON_WINDOWS("the input's kinds are made by exec_as for a Linux program, and under Wine the "
                    "wait is shared with wineserver");
    QFETCH(QStringList, options);
    QFETCH(QByteArray, ending);
    if (tested().posixOnly && options.contains(QLatin1String("--udp-error-stdin")))
        QSKIP("without POLLRDHUP, a message socket that poll reports while it holds nothing has ended");
    if (tested().underValgrind())
        QSKIP("valgrind's own start-up uses the CPU this test measures");

    GroupProcess process;
    prepare(process);
    process.start(QStringLiteral(EXEC_AS), options + QStringList{tested().path, tested().path, "x"});
    QVERIFY(process.waitForStarted(finishTimeoutMs()));
    feedSlowly(process, {"ab"});
    if (QTest::currentTestFailed())
        return;
    // A program that spins on "try again" or on empty reads burns about 50
    // ticks in half a second; a waiting one none.
    const qint64 before = cpuTicks(process.processId());
    QVERIFY(!process.waitForReadyRead(500));
    const qint64 used = cpuTicks(process.processId()) - before;
    QVERIFY2(before >= 0 && used <= 5, qPrintable(QString::number(used) + " ticks while waiting"));

    feedSlowly(process, {"c\xE2\x82", "\xAC"});
    if (QTest::currentTestFailed())
        return;
    // A line is echoed without waiting for the end of the input; a line
    // without a line feed once the input ends.
    process.write(ending);
    if (!ending.contains('\n'))
        process.closeWriteChannel();
    const Outcome outcome = finish(process, endAfterInputMs());

    const qsizetype lineFeed = ending.indexOf('\n');
    VERIFY_RUN(outcome, programEcho() + ";x;abc\xE2\x82\xAC" + (lineFeed < 0 ? ending : ending.left(lineFeed + 1)),
               errorLine);
}

void Faults::lineTricklingByteByByte()
{
    const QByteArray line = QByteArray("tr\xC3\xA9kle\0gone\nback\r\n", 19);
    GroupProcess process;
    startProgram(process, {"x"});
    QVERIFY(process.waitForStarted(finishTimeoutMs()));
    for (char byte : line.chopped(1)) {
        process.write(&byte, 1);
        QVERIFY(process.waitForBytesWritten(finishTimeoutMs()));
        QTest::qWait(5);
    }
    QCOMPARE(process.bytesAvailable(), 0);
    process.write("\n");
    const Outcome outcome = finish(process, endAfterInputMs());

    VERIFY_RUN(outcome, programEcho() + ";x;tr\xC3\xA9kleback\r\n", errorLine);
}

void Faults::stoppedAndContinuedMidLine()
{
    GroupProcess process;
    startProgram(process, {"x"});
    QVERIFY(process.waitForStarted(finishTimeoutMs()));
    feedSlowly(process, {"before "});
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(::kill(pid_t(process.processId()), SIGSTOP), 0);
    process.write("while stopped ");
    QVERIFY(process.waitForBytesWritten(finishTimeoutMs()));
    QCOMPARE(::kill(pid_t(process.processId()), SIGCONT), 0);
    feedSlowly(process, {"after"});
    process.write("\n");
    process.closeWriteChannel();
    const Outcome outcome = finish(process, endAfterInputMs());

    VERIFY_RUN(outcome, programEcho() + ";x;before while stopped after\n", errorLine);
}

namespace {

// A failure strace puts into one of the program's calls, and what must come
// of it.
struct Injection
{
    SharedInput input; // what the program and the next command share
    QStringList options; // exec_as's, for the input's kind or mode
    QString injection; // strace's -e inject=, the call first
    QString traced; // calls traced besides, for the proof
    QString proof; // a line of strace's log that the way taking over writes
    QList<QByteArray> pieces; // the input, as it arrives
    QByteArray line; // what the program echoes of it
    QByteArray rest; // what it leaves for the next command
    // Where the call failed, or the way that takes over, is Linux's own,
    // which a build with POSIX calls alone does not make.
    bool linuxOwn = true;
};

} // namespace

Q_DECLARE_METATYPE(Injection)

void Faults::injectedFailures_data()
{
    QTest::addColumn<Injection>("row");

    using Source = SharedInput::Source;
    const QByteArray rest = QByteArray("0123456789").repeated(3000);
    const QList<QByteArray> lineAndRest{"line\n" + rest};
    // strace -y shows each descriptor with what it is: 0<pipe:[12345]>.
    const QString readByteByByte = QStringLiteral(R"(^read\(0<[^>]*>, "l", 1\) += 1$)");
    const struct
    {
        const char *name;
        Injection row;
    } rows[] = {
        // A failing read of the file ends the line with what it has.
        {"first read fails",
         {{Source::file}, {}, "read:error=EIO:when=1+", {}, {}, {"abc\n"}, "", "abc\n", false}},
        {"read after part of the line fails",
         {{Source::file}, {}, "read:error=EIO:when=2+", {}, {}, {"abc"}, "abc", "", false}},
        // A read ahead refused for its form (EINVAL) gives way to reading the
        // file as records, which takes the whole record.
        {"file refuses to be read ahead",
         {{Source::file}, {}, "read:error=EINVAL:when=1", {}, {}, {"abc\nrest\n"}, "abc\n", "", false}},
        // Where the kernel refuses to look ahead, or the means to look or to
        // take what was looked at cannot be had, the line is still taken
        // exactly.
        {"pipe refuses to be looked into",
         {{Source::pipe}, {}, "tee:error=EINVAL", "read", readByteByByte, lineAndRest, "line\n", rest}},
        // The program makes one pipe; only that one fails. A clang sanitizer
        // build's runtime makes pipes of its own afterwards, to probe the
        // memory that its check of an object's dynamic type reads.
        {"no private pipe to look through",
         {{Source::pipe}, {}, "pipe2:error=EMFILE", "read", readByteByByte, lineAndRest, "line\n", rest}},
        // The bytes used go into the private pipe instead of /dev/null.
        {"no /dev/null to take into",
         {{Source::pipe}, {}, "openat:error=ENOENT", "splice",
          R"(^splice\(0<pipe:\[\d+\]>, NULL, \d+<pipe:\[\d+\]>, NULL, 5, SPLICE_F_NONBLOCK\) += 5$)",
          lineAndRest, "line\n", rest}},
        // The bytes used are read out of the pipe instead.
        {"pipe refuses to be spliced from",
         {{Source::pipe}, {}, "splice:error=EINVAL", "read", R"(^read\(0<pipe:\[\d+\]>, "line\\n", 5\) += 5$)",
          lineAndRest, "line\n", rest}},
        // A splice or receive that moves nothing finds the bytes looked at
        // taken by another reader since: nothing more is taken, nor waited for.
        {"pipe's bytes gone before they are taken",
         {{Source::pipe}, {}, "splice:retval=0", {}, {}, lineAndRest, "line\n", "line\n" + rest}},
        {"socket's bytes gone before they are taken",
         {{Source::socket}, {}, "recvfrom:retval=0:when=2+", {}, {}, lineAndRest, "line\n", "line\n" + rest,
          false}},
        {"socket refuses to be peeked at",
         {{Source::socket}, {}, "recvfrom:error=EINVAL", "read", readByteByByte, lineAndRest, "line\n", rest, false}},
        // A socket with a peek offset is read a byte at a time; where that is
        // refused, in records of the smallest size taken, one byte again.
        {"socket with a peek offset refuses a read of one byte",
         {{Source::peekedSocket}, {}, "read:error=EINVAL", {}, readByteByByte, lineAndRest, "line\n", rest}},
        {"socket with a low-water mark refuses to be peeked at",
         {{Source::socket}, {"--low-water-stdin"}, "recvfrom:error=EINVAL", "read", readByteByByte, lineAndRest,
          "line\n", rest, false}},
        // A call that succeeds leaves errno as the interrupted one set it:
        // the end of the input after it is not taken for an interruption.
        {"look interrupted by a signal, then the input ends",
         {{Source::pipe}, {}, "tee:error=EINTR:when=1", {}, {}, {"abc"}, "abc", ""}},
        // Before Linux 3.8, and under an emulator that does not pass the call
        // on, a master's packet mode cannot be asked: the master is known by
        // its terminal's name (TIOCGPTN) and packet mode by a look. The relay
        // into the terminal takes the whole input, so nothing is left for the
        // next command.
        {"terminal master that cannot be asked for packet mode",
         {{Source::pipe}, {"--packet-terminal-stdin"}, "ioctl:error=ENOTTY", {}, R"(^ioctl\(0<[^>]*>, TIOCGPTN)",
          {"line\nrest\n"}, "line\n", ""}},
        // With epoll refused too, the wait sleeps, and only an end seen before
        // the wait ends the input: a datagram socket shut down for reading
        // that still says "try again" has ended. The first poll asks whether
        // the input ended; the second, the wait, is refused.
        {"poll's wait and epoll refused, datagram socket shut down",
         {{Source::pipe}, {"--datagram-stdin", "--nonblocking-stdin"},
          "poll:error=ENOMEM:when=2 epoll_create1:error=EMFILE", "clock_nanosleep", "^clock_nanosleep\\(",
          {"line"}, "line", ""}},
        // poll may fail for want of memory; the wait goes on with epoll. The
        // caller's own end of the pipe stays blocking, for the next command.
        {"poll refused while the line arrives in pieces",
         {{Source::pipe}, {"--private-nonblocking-stdin"}, "poll:error=ENOMEM", "epoll_wait",
          R"(^epoll_wait\(\d+<anon_inode:\[eventpoll\]>, .* = 1$)",
          {"hel", "lo\n" + rest}, "hello\n", rest}},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.row;
}

// Injects failures into the program's calls with strace, then checks from
// strace's log that the failure was injected and that the way the row names
// took over (proof), and from the output that the line was taken exactly.
// The calls strace fails are the program's own: a file's reads are those on
// its path (-P), and an opening or a pipe that others make too is found by a
// first run that fails nothing.
void Faults::injectedFailures()
{
    SKIP_ON_WINDOWS("strace fails Linux's calls, which the Windows program makes through Wine");
    QFETCH(Injection, row);
    if (row.linuxOwn && tested().posixOnly)
        QSKIP("the call failed, or the way that takes over, is Linux's own, which a build with POSIX calls alone does not make");
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        QSKIP("strace is not installed");
    QTemporaryDir logs;
    QVERIFY(logs.isValid());
    const QString logPath = logs.filePath("strace.log");
    const QString call = row.injection.section(':', 0, 0);
    const QStringList program{tested().path, "x"};

    QString injection = row.injection;
    const QString ownCall = ownCallPattern(call, row.input.source);
    if (!ownCall.isEmpty()) {
        runTraced(row.options, straceCommand(strace, logPath, call, {}) + program, row.input, row.pieces);
        const int own = tracedCall(readLog(logPath), call, ownCall);
        QVERIFY2(own > 0, qPrintable("the program never made the call " + call + " that matches " + ownCall));
        injection += ":when=" + QString::number(own);
    }
    QStringList command = straceCommand(strace, logPath, injection, row.traced);
    if (row.input.source == SharedInput::Source::file)
        command << "-P" << inputFileArgument;
    // A wait is failed only once the program waits: on a slow machine it may
    // start after the pieces came, so the last one comes once it has.
    std::function<bool()> failureInjected;
    if (call == QLatin1String("poll"))
        failureInjected = [&] { return readLog(logPath).contains(QLatin1String("(INJECTED)")); };
    const Outcome outcome = runTraced(row.options, command + program, row.input, row.pieces, failureInjected);

    VERIFY_SIMULATED_FAILURE(outcome);
    QCOMPARE(outcome.err, errorLine);
    VERIFY_LEFT_FOR_NEXT_COMMAND(outcome, programEcho() + ";x;" + row.line, row.rest);
    verifyInjected(readLog(logPath), call, row.proof);
}

void Faults::brokenPipe_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("killedBySigpipe");

    QTest::newRow("default action ends the process at once") << QString() << true;
    QTest::newRow("ignored SIGPIPE lets the run finish") << QStringLiteral("--ignore-sigpipe") << false;
}

// Standard output's reader is gone before the program writes.
void Faults::brokenPipe()
{
    SKIP_ON_WINDOWS("SIGPIPE is a POSIX signal; Wine ignores it for the Windows program");
    QFETCH(QString, option);
    QFETCH(bool, killedBySigpipe);

    QStringList arguments{"--broken-stdout"};
    if (!option.isEmpty())
        arguments << option;
    const Outcome outcome = run(QStringLiteral(EXEC_AS),
                                arguments + QStringList{tested().path, tested().path, "x"}, "line\n");

    QVERIFY(outcome.finished);
    if (killedBySigpipe) {
        QCOMPARE(outcome.exitStatus, QProcess::CrashExit);
        QCOMPARE(outcome.err, QByteArray());
    } else {
        VERIFY_SIMULATED_FAILURE(outcome);
        QCOMPARE(outcome.err, errorLine);
    }
}

void Faults::allStandardStreamsClosed()
{
    SKIP_ON_WINDOWS("with standard output and error both closed, Wine hands the error line a descriptor of its "
                        "own and then ends the program with status 0");
    for (const QStringList &arguments : {QStringList(), QStringList{"x"}}) {
        const Outcome outcome = runInShell(QStringLiteral("exec \"$0\" \"$@\" <&- >&- 2>&-"), arguments);
        VERIFY_SIMULATED_FAILURE(outcome);
        QCOMPARE(outcome.out + outcome.err, QByteArray());
    }
}

void Faults::extremeArguments_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("injection");

    QByteArray everyByte;
    QList<QByteArray> eachByte;
    for (int value = 0x01; value <= 0xFF; ++value) {
        everyByte += char(value);
        eachByte << QByteArray(1, char(value));
    }
    QTest::newRow("every byte value in one argument") << QList<QByteArray>{everyByte} << QStringList() << QString();
    QTest::newRow("every byte value as an argument of its own") << eachByte << QStringList() << QString();
    QTest::newRow("100,000 arguments") << repeatedList(100000, "arg") << QStringList() << QString();
    // Every write that finds the pipe full is told "try again".
    QTest::newRow("100,000 arguments to a non-blocking output that fills")
        << repeatedList(100000, "arg") << QStringList{"--nonblocking-stdout"} << QString();
    // poll may fail for want of memory; the wait goes on with epoll.
    QTest::newRow("2,000 arguments to a non-blocking output that fills, poll refused")
        << repeatedList(2000, QByteArray(100, 'p')) << QStringList{"--nonblocking-stdout"}
        << "poll:error=ENOMEM";
    // The kernel refuses a single argument of 128 KiB or more (E2BIG), so a
    // 1 MiB argument cannot reach any program; its largest is tested, and
    // 1 MiB across eight arguments.
    QTest::newRow("largest single argument") << QList<QByteArray>{QByteArray(128 * 1024 - 1, 'a')}
                                             << QStringList() << QString();
    QTest::newRow("1 MiB across eight arguments")
        << repeatedList(8, QByteArray(128 * 1024, 'b').chopped(1)) << QStringList() << QString();
}

void Faults::extremeArguments()
{
    SKIP_ON_WINDOWS("exec_as sets a Linux program's argument vector; a Windows command line holds at "
                    "most 32,767 characters");
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QStringList, options);
    QFETCH(QString, injection);
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (!injection.isEmpty() && strace.isEmpty())
        QSKIP("strace is not installed");
    if (!injection.isEmpty() && tested().posixOnly)
        QSKIP("epoll, which takes over from poll, is Linux's own");

    // Raw bytes travel in hex; long plain arguments as they are, since hex
    // would double them past the kernel's limit for one argument.
    const bool plain = std::all_of(arguments.cbegin(), arguments.cend(), [](const QByteArray &a) {
        return a.size() > 1 && std::all_of(a.cbegin(), a.cend(), [](char c) { return c > ' '; });
    });
    QStringList vector{tested().path, plain ? tested().path : QString::fromLatin1(tested().bytes().toHex())};
    if (!plain)
        vector.insert(1, QStringLiteral("--hex"));
    for (const QByteArray &argument : arguments)
        vector << (plain ? QString::fromUtf8(argument) : QString::fromLatin1(argument.toHex()));

    // Under strace, which starts the program with the plain vector.
    QTemporaryDir logs;
    const QString logPath = logs.filePath("strace.log");
    if (!injection.isEmpty()) {
        const QStringList command = straceCommand(strace, logPath, injection, "epoll_wait");
        vector = QStringList{command.first()} + command + vector.mid(1);
    }
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    const Outcome outcome = run(QStringLiteral(EXEC_AS), options + vector, "line\n");
    qunsetenv("ASAN_OPTIONS");

    VERIFY_RUN(outcome, echoOf(QList<QByteArray>{tested().bytes()} + arguments) + "line\n", errorLine);
    if (!injection.isEmpty())
        verifyInjected(readLog(logPath), injection.section(':', 0, 0), QStringLiteral("^epoll_wait\\("));
}

void Faults::extremeLines_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("options");

    for (int size : {4095, 4096, 16383, 16384, 16385, 65536}) {
        const QByteArray line = mixedText(size);
        QTest::addRow("%d bytes with line feed", size) << line + "\nnext line\n" << QStringList();
        QTest::addRow("%d bytes without line feed", size) << line << QStringList();
        QTest::addRow("%d bytes then NUL-joined", size)
            << line + QByteArray("\0dropped\n", 9) + line + "\n" << QStringList();
    }
    // From 4 MiB on, the line's buffer is made of whole huge pages.
    QTest::newRow("4 MiB and 1 byte with line feed")
        << mixedText(4 * 1024 * 1024 + 1) + "\nnext line\n" << QStringList();
    QRandomGenerator random(42);
    for (int round = 0; round < 4; ++round) {
        QByteArray noise(100 * 1024, Qt::Uninitialized);
        for (char &byte : noise)
            byte = char(random.bounded(256));
        QTest::addRow("random binary input %d", round) << noise << QStringList();
    }
    // One write of the line is one message, larger than a message may be.
    QTest::newRow("400,000 bytes to a datagram socket")
        << mixedText(400000) + "\nnext line\n" << QStringList{"--datagram-stdout"};
}

void Faults::extremeLines()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, options);
    if (!options.isEmpty())
        SKIP_ON_WINDOWS("exec_as sets a Linux program's standard output");

    const Outcome outcome = options.isEmpty()
        ? runProgram({"x"}, input)
        : run(QStringLiteral(EXEC_AS), options + QStringList{tested().path, tested().path, "x"}, input);

    VERIFY_RUN(outcome, programEcho() + ";x;" + echoedLine(input), errorLine);
}

QTEST_GUILESS_MAIN(Faults)
#include "tst_faults.moc"
