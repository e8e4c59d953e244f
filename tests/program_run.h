// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_PROGRAM_RUN_H
#define SIMULATED_ERROR_PROGRAM_RUN_H

// Runs the built program the way its users do: through QProcess, with pipes
// for all three standard streams.

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <QtTest>

#include <atomic>
#include <functional>
#include <iterator>

#include <csignal>
#include <unistd.h>

const QByteArray errorLine = "this is a simulated error\n";
constexpr int simulatedErrorStatus = 10;

// GCC tells an AddressSanitizer build by a macro, clang only through
// __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define SIMULATED_ERROR_UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SIMULATED_ERROR_UNDER_ADDRESS_SANITIZER
#endif
#endif

// The program under test and how it is started, read once from the
// environment; without any of it, the program this build made.
struct ProgramUnderTest
{
    // SIMULATED_ERROR_PROGRAM: another copy, an installed one or a release file.
    QString path = qEnvironmentVariable("SIMULATED_ERROR_PROGRAM", QStringLiteral(SIMULATED_ERROR_PROGRAM));
    // SIMULATED_ERROR_UNDER_VALGRIND, a folder: every run goes through
    // valgrind's memcheck, which turns any error into exit status 99 and
    // writes its report into that folder (not to standard error, which some
    // tests close).
    QString valgrindLogs = qEnvironmentVariable("SIMULATED_ERROR_UNDER_VALGRIND");
    // SIMULATED_ERROR_TIME_FACTOR: every bound on a hang raised that many
    // times more, on a busy machine.
    double givenTimeFactor = qEnvironmentVariable("SIMULATED_ERROR_TIME_FACTOR", QStringLiteral("1")).toDouble();
    // SIMULATED_ERROR_PROGRAM_SELF_CONTAINED: a static file, which runs in a
    // root that holds nothing but itself.
    bool selfContained = qEnvironmentVariableIsSet("SIMULATED_ERROR_PROGRAM_SELF_CONTAINED");
    // SIMULATED_ERROR_EMULATOR: the program, for another processor, runs
    // under it (qemu-aarch64), which gives it the path it was started by as
    // its name.
    QString emulator = qEnvironmentVariable("SIMULATED_ERROR_EMULATOR");
    // Built with POSIX calls alone (this build, or
    // SIMULATED_ERROR_PROGRAM_POSIX_ONLY for another program): it cannot see
    // what only Linux's calls tell, such as a socket's peek offset.
    bool posixOnly = qEnvironmentVariableIsSet("SIMULATED_ERROR_PROGRAM_POSIX_ONLY")
                     || (SIMULATED_ERROR_POSIX_ONLY && !qEnvironmentVariableIsSet("SIMULATED_ERROR_PROGRAM"));
    // SIMULATED_ERROR_WINE, wine64: the Windows program runs under Wine,
    // started from here, or through the Windows parent that gives it Windows
    // pipes (SIMULATED_ERROR_WINDOWS_PARENT, windows_parent.exe).
    QString wine = qEnvironmentVariable("SIMULATED_ERROR_WINE");
    QString windowsParent = qEnvironmentVariable("SIMULATED_ERROR_WINDOWS_PARENT");

    bool underValgrind() const { return !valgrindLogs.isEmpty(); }
    bool runsOnWindows() const { return !wine.isEmpty(); }

    // One factor scales every bound on a hang, since a bound must never fail
    // a slow but correct run: valgrind and sanitizers slow the program down
    // many times.
    double timeFactor() const
    {
        double factor = givenTimeFactor > 0 ? givenTimeFactor : 1;
        if (underValgrind())
            factor *= 15;
#ifdef SIMULATED_ERROR_UNDER_ADDRESS_SANITIZER
        factor *= 3;
#endif
        return factor;
    }

    // The path as it reaches the program: its bytes in the file system.
    QByteArray bytes() const { return QFile::encodeName(path); }
};

inline const ProgramUnderTest &tested()
{
    static const ProgramUnderTest program;
    return program;
}

// Generous: the program needs milliseconds, but a loaded machine may be slow.
inline int finishTimeoutMs()
{
    return int(10000 * tested().timeFactor());
}

// How soon the program must end once its input has ended.
inline int endAfterInputMs()
{
    return int(2000 * tested().timeFactor());
}

// What a caller sees of an argument element: each byte read as one Latin-1
// character, written in UTF-8. A path with non-ASCII bytes changes on the way.
inline QByteArray echoOfElement(const QByteArray &element)
{
    return QString::fromLatin1(element).toUtf8();
}

// Ends the calling test function where the program is the Windows one.
#define SKIP_ON_WINDOWS(reason)                                                                    \
    do {                                                                                           \
        if (tested().runsOnWindows())                                                              \
            QSKIP(reason);                                                                         \
    } while (false)

// The program name as the program echoes it when started by its path. Wine
// hands a program it starts its DOS path on drive Z:, the root; a Windows
// parent's command line gives it the path as written.
inline QByteArray programEcho()
{
    if (tested().runsOnWindows() && tested().windowsParent.isEmpty())
        return echoOfElement("Z:" + tested().bytes().replace('/', '\\'));
    return echoOfElement(tested().bytes());
}

// The argument echo a caller expects for the given argument vector.
inline QByteArray echoOf(const QList<QByteArray> &argumentVector)
{
    QByteArray echo;
    for (const QByteArray &element : argumentVector)
        echo += echoOfElement(element) + ';';
    return echo;
}

// The process groups that runs of this test lead now, killed where the test
// itself is ended by a signal (stopped by hand, a terminal closed, timeout(1),
// QtTest's watchdog, which aborts), when no destructor runs: the handler,
// which calls nothing but kill, then hands the signal on to the one it
// replaced.
class LiveGroups
{
public:
    static void add(pid_t group) { swapSlot(0, group); }
    static void remove(pid_t group) { swapSlot(group, 0); }

private:
    static constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT};
    static inline std::atomic<pid_t> s_groups[64];
    static inline struct sigaction s_replaced[std::size(endingSignals)];

    static void swapSlot(pid_t from, pid_t to)
    {
        static const bool installed = installHandlers();
        Q_UNUSED(installed);
        for (std::atomic<pid_t> &slot : s_groups) {
            pid_t expected = from;
            if (slot.compare_exchange_strong(expected, to))
                return;
        }
    }

    static bool installHandlers()
    {
        struct sigaction action{};
        action.sa_handler = killAndHandOn;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(endingSignals); ++i)
            ::sigaction(endingSignals[i], &action, &s_replaced[i]);
        return true;
    }

    static void killAndHandOn(int signal)
    {
        for (std::atomic<pid_t> &slot : s_groups) {
            if (const pid_t group = slot.load(); group > 0)
                ::kill(-group, SIGKILL);
        }
        for (size_t i = 0; i < std::size(endingSignals); ++i) {
            if (endingSignals[i] == signal)
                ::sigaction(signal, &s_replaced[i], nullptr);
        }
        ::raise(signal);
    }
};

// A process that leads a process group of its own, so that everything it
// starts (strace and the program under it, shells, relays, Wine's processes)
// is in that group: when the object goes, at the end of the row whether it
// passed or failed, the whole group is killed, and nothing a row started
// outlives it; nor where the test is ended by a signal (LiveGroups). A group,
// not a session: a session of its own would make the group orphaned, and a
// process stopped in it would get SIGHUP as soon as another one of the group
// ended.
class GroupProcess : public QProcess
{
public:
    GroupProcess()
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
        // Remembered at the start: once the leader has ended, processId() is 0,
        // while the rest of its group may still run.
        connect(this, &QProcess::started, this, [this] {
            m_group = pid_t(processId());
            LiveGroups::add(m_group);
        });
    }
    ~GroupProcess() override { killGroup(); }

    // Kills every process of the group, then waits for the leader.
    void killGroup()
    {
        if (m_group > 0) {
            ::kill(-m_group, SIGKILL);
            LiveGroups::remove(m_group);
        }
        if (state() != QProcess::NotRunning)
            waitForFinished(finishTimeoutMs());
    }

protected:
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    void setupChildProcess() override { ::setpgid(0, 0); }
#endif

private:
    pid_t m_group = 0;
};

struct Outcome
{
    bool finished = false;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The environment of every run but those that choose their own: this one's,
// with a UTF-8 locale.
inline QProcessEnvironment runEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

inline void prepare(GroupProcess &process)
{
    process.setProcessEnvironment(runEnvironment());
}

// Waits for the end of the run (which may have come already) and collects it;
// a run that outlasts the bound is killed with all it started, and what it
// had written is kept.
inline Outcome finish(GroupProcess &process, int timeoutMs = finishTimeoutMs())
{
    Outcome outcome;
    outcome.finished = process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
    if (!outcome.finished)
        process.killGroup();
    outcome.exitStatus = process.exitStatus();
    outcome.exitCode = process.exitCode();
    outcome.out = process.readAllStandardOutput();
    outcome.err = process.readAllStandardError();
    return outcome;
}

// Starts program with arguments, writes input, closes its standard input and
// waits for the end.
inline Outcome run(const QString &program, const QStringList &arguments, const QByteArray &input,
                   const QProcessEnvironment &environment = runEnvironment())
{
    GroupProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(finishTimeoutMs()))
        return {};
    process.write(input);
    process.closeWriteChannel();
    return finish(process);
}

// How the Windows program is started: by wine64, through the parent where
// one is given, with the parent's options (--then-rest adds the rest of its
// pipe to the program's output, as cat does after it; --messages makes the
// pipe one of messages).
inline QStringList windowsCommand(const QStringList &parentOptions = {})
{
    QStringList command{tested().wine};
    if (!tested().windowsParent.isEmpty())
        command << tested().windowsParent << parentOptions;
    return command << tested().path;
}

// The command that starts the program: its path, behind valgrind or the
// emulator if asked, or the Windows program's.
inline QStringList programCommand()
{
    if (tested().runsOnWindows())
        return windowsCommand();
    if (!tested().emulator.isEmpty())
        return {tested().emulator, tested().path};
    if (!tested().underValgrind())
        return {tested().path};
    return {QStringLiteral("valgrind"), QStringLiteral("-q"), QStringLiteral("--error-exitcode=99"),
            QStringLiteral("--leak-check=full"), QStringLiteral("--errors-for-leak-kinds=definite"),
            "--log-file=" + tested().valgrindLogs
                + "/memcheck.%p.log",
            tested().path};
}

// Starts the program with arguments and pipes, for tests that feed it over time.
inline void startProgram(GroupProcess &process, const QStringList &arguments)
{
    prepare(process);
    const QStringList command = programCommand();
    process.start(command.first(), command.mid(1) + arguments);
}

inline Outcome runProgram(const QStringList &arguments, const QByteArray &input)
{
    const QStringList command = programCommand();
    return run(command.first(), command.mid(1) + arguments, input);
}

// Runs the program through /bin/sh, for descriptors that QProcess cannot set
// up: the script starts the program as "$0" "$@" (valgrind's options and the
// program's path are among "$@" when it runs under valgrind).
inline Outcome runInShell(const QString &script, const QStringList &arguments,
                          const QByteArray &input = {},
                          const QProcessEnvironment &environment = runEnvironment())
{
    return run(QStringLiteral("/bin/sh"),
               QStringList{QStringLiteral("-c"), script} + programCommand() + arguments, input,
               environment);
}

inline void verifyFailedAsSimulated(const Outcome &outcome)
{
    QVERIFY2(outcome.finished, "the program did not end");
    // Another end may come from what started the program (the emulator, the
    // Windows parent), which says why on standard error; a crash's code is
    // the signal's number.
    if (outcome.exitStatus != QProcess::NormalExit || outcome.exitCode != simulatedErrorStatus)
        qInfo() << "exit code:" << outcome.exitCode << "standard error:" << outcome.err.left(1000);
    QCOMPARE(outcome.exitStatus, QProcess::NormalExit);
    QCOMPARE(outcome.exitCode, simulatedErrorStatus);
}

// Ends the calling test function when the run did not end with status 10.
#define VERIFY_SIMULATED_FAILURE(outcome)                                                          \
    do {                                                                                           \
        verifyFailedAsSimulated(outcome);                                                          \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

// Status 10, then standard output and standard error byte for byte.
#define VERIFY_RUN(outcome, expectedOut, expectedErr)                                              \
    do {                                                                                           \
        VERIFY_SIMULATED_FAILURE(outcome);                                                         \
        QCOMPARE((outcome).out, QByteArray(expectedOut));                                          \
        QCOMPARE((outcome).err, QByteArray(expectedErr));                                          \
    } while (false)

// Writes input in pieces; after each, nothing may appear on either output for
// a while (pauseMs) and the program must still be waiting.
inline void feedSlowly(GroupProcess &process, const QList<QByteArray> &pieces, int pauseMs = 200)
{
    for (const QByteArray &piece : pieces) {
        process.write(piece);
        QVERIFY(process.waitForBytesWritten(finishTimeoutMs()));
        QVERIFY(!process.waitForReadyRead(pauseMs));
        QCOMPARE(process.state(), QProcess::Running);
    }
}

// Where a command given to runThenNextCommand names its input file.
const QString inputFileArgument = QStringLiteral("{input file}");

// The input a command and the next one share (runThenNextCommand).
struct SharedInput
{
    // Through the Windows parent, every input is one of its Windows pipes.
    enum class Source {
        file, // the pieces written to a file first
        pipe,
        socket, // a Unix stream socket that the pieces are relayed through as they come
        peekedSocket, // the same, its owner having peeked ahead with a peek offset
    };
    // The Windows parent's pipe: of bytes, or of messages (an empty one
    // first, then one for each piece) read as bytes or as messages.
    enum class WindowsPipe { bytes, messages, messagesReadAsMessages };

    Source source = Source::pipe;
    WindowsPipe windowsPipe = WindowsPipe::bytes;
    // The pipe's reading end in non-blocking mode (PIPE_NOWAIT): a read of
    // the empty pipe fails at once.
    bool noWait = false;

    bool isSocket() const { return source == Source::socket || source == Source::peekedSocket; }
    QByteArray name() const
    {
        static const char *const sources[] = {"file", "pipe", "socket", "peeked socket"};
        static const char *const pipes[] = {"pipe", "message pipe", "message pipe read as messages"};
        const QByteArray name(source == Source::pipe ? pipes[int(windowsPipe)] : sources[int(source)]);
        return noWait ? name + ", no wait" : name;
    }
    // How the Windows parent gives it: it also reads the rest itself.
    QStringList parentOptions() const
    {
        QStringList options{QStringLiteral("--then-rest")};
        if (windowsPipe != WindowsPipe::bytes)
            options << QStringLiteral("--messages");
        if (windowsPipe == WindowsPipe::messagesReadAsMessages)
            options << QStringLiteral("--message-reads");
        if (noWait)
            options << QStringLiteral("--no-wait");
        return options;
    }
};
Q_DECLARE_METATYPE(SharedInput)

// Runs command and then cat on one standard input and one standard output, as
// `{ command; cat; }` does, so that what cat adds after the command's output
// is what the command left of the input; the exit status is the command's.
// The pieces arrive slowly, pauseMs apart; where readyForLastPiece is given,
// the last one waits until it says the command is ready for it. The input
// ends after the last.
inline Outcome runThenNextCommand(const SharedInput &input, QStringList command,
                                  QList<QByteArray> pieces, int pauseMs = 200,
                                  const std::function<bool()> &readyForLastPiece = {})
{
    GroupProcess process;
    prepare(process);
    QTemporaryFile file;
    if (input.source == SharedInput::Source::file) {
        if (!file.open() || file.write(pieces.join()) < 0 || !file.flush())
            return {};
        process.setStandardInputFile(file.fileName());
        command.replaceInStrings(inputFileArgument, file.fileName());
        pieces.clear();
    }
    // The Windows program takes the place of the program, or with the
    // Windows parent, the parent gives it its pipe, of the kind asked, and
    // reads the rest.
    if (tested().runsOnWindows() && command.first() == tested().path)
        command = windowsCommand(input.parentOptions()) + command.mid(1);
    else if (!tested().emulator.isEmpty() && command.first() == tested().path)
        command.prepend(tested().emulator);
    // The Windows parent reads the rest itself, from the Windows pipe it
    // gives the program: a socket cannot reach the program through it.
    if (input.isSocket() && !tested().windowsParent.isEmpty()) {
        QTest::qFail("through the Windows parent, every input is a Windows pipe", __FILE__, __LINE__);
        return {};
    }
    QStringList shell{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                      QStringLiteral("\"$0\" \"$@\"; status=$?; cat; exit $status")};
    if (!tested().windowsParent.isEmpty())
        shell.clear();
    QStringList socketOptions{QStringLiteral("--socket-stdin")};
    if (input.source == SharedInput::Source::peekedSocket)
        socketOptions << QStringLiteral("--peeked-stdin");
    if (input.isSocket())
        shell = QStringList{QStringLiteral(EXEC_AS)} + socketOptions
                + QStringList{shell.first(), QStringLiteral("sh")} + shell.mid(1);
    const QStringList started = shell + command;
    process.start(started.first(), started.mid(1));
    if (!process.waitForStarted(finishTimeoutMs()))
        return {};
    if (!pieces.isEmpty()) {
        feedSlowly(process, pieces.mid(0, pieces.size() - 1), pauseMs);
        if (QTest::currentTestFailed())
            return {};
        if (readyForLastPiece && !QTest::qWaitFor(readyForLastPiece, finishTimeoutMs())) {
            QTest::qFail("the command was never ready for the last piece", __FILE__, __LINE__);
            return {};
        }
        process.write(pieces.last());
    }
    process.closeWriteChannel();
    return finish(process);
}

// The command's output, then exactly the rest of the input: no byte of it
// lost to the command, none repeated.
#define VERIFY_LEFT_FOR_NEXT_COMMAND(outcome, commandOut, rest)                                    \
    do {                                                                                           \
        QVERIFY((outcome).out.startsWith(commandOut));                                             \
        const QByteArray leftOver = (outcome).out.mid(QByteArray(commandOut).size());              \
        QCOMPARE(leftOver.size(), QByteArray(rest).size());                                        \
        QCOMPARE(leftOver, QByteArray(rest));                                                      \
    } while (false)

#endif
