// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The output contract as a caller sees it: what goes to standard output and
// standard error, in which order, and the exit status, on every path.

#include "program_run.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

// What follows the first line, for the next command on the same input.
// Larger than what a relay moves at a time, and never the same twice, so
// that a piece of it lost, repeated or moved shows.
QByteArray restOfInput()
{
    QByteArray rest = "next line\n";
    for (int number = 0; rest.size() < 200 * 1000; ++number)
        rest += QByteArray::number(number) + ' ';
    return rest;
}

// The first record of the kernel's log, or nothing where it cannot be read.
QByteArray firstKernelLogRecord()
{
    const int log = ::open("/dev/kmsg", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QByteArray record(65536, Qt::Uninitialized);
    const ssize_t got = log < 0 ? -1 : ::read(log, record.data(), size_t(record.size()));
    if (log >= 0)
        ::close(log);
    return record.left(int(qMax<ssize_t>(got, 0)));
}

// A word for a POSIX shell that gives it back as it is.
QByteArray shellWord(const QByteArray &word)
{
    return "'" + QByteArray(word).replace("'", "'\\''") + "'";
}

// This environment without any locale variable.
QProcessEnvironment withoutLocale()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : environment.keys()) {
        if (name.startsWith(QLatin1String("LC_")) || name == QLatin1String("LANG")
            || name == QLatin1String("LANGUAGE") || name == QLatin1String("LOCPATH"))
            environment.remove(name);
    }
    return environment;
}

// Runs the program in a root that holds nothing but a copy of it, in a
// private user namespace, with the environment given to env -i.
const QString inEmptyRoot = QStringLiteral(
    "root=$(mktemp -d) && cp \"$0\" \"$root/simulated_error\" || exit 1\n"
    "env -i %1 \"$(command -v unshare)\" -r \"$(command -v chroot)\" \"$root\" /simulated_error \"$@\"\n"
    "status=$?; rm -r \"$root\"; exit $status");

} // namespace

Q_DECLARE_METATYPE(QProcessEnvironment)

class RunSequence : public QObject
{
    Q_OBJECT

private slots:
    void argumentEcho_data();
    void argumentEcho();
    void programName_data();
    void programName();
    void firstLine_data();
    void firstLine();
    void endOfInput_data();
    void endOfInput();
    void lineArrivingInPieces();
    void withoutArgumentsInputIsNeverAwaited();
    void restLeftForNextCommand_data();
    void restLeftForNextCommand();
    void consoleTypedLines();
    void outputFaults_data();
    void outputFaults();
    void sameBytesUnderEveryLocale_data();
    void sameBytesUnderEveryLocale();

private:
    QTemporaryDir m_locales;
};

void RunSequence::argumentEcho_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("echoAfterProgramName");

    QTest::newRow("one argument") << QStringList{"x"} << QByteArray("x;");
    QTest::newRow("arguments in order") << QStringList{"b", "a", "c"} << QByteArray("b;a;c;");
    QTest::newRow("empty argument gives two separators in a row")
        << QStringList{"a", "", "b"} << QByteArray("a;;b;");
    QTest::newRow("separator inside an argument is not escaped")
        << QStringList{"x;y", ";"} << QByteArray("x;y;;;");
    QTest::newRow("spaces and quotes kept") << QStringList{"a b", "\"q\""}
                                            << QByteArray("a b;\"q\";");
    // "é" arrives as the bytes C3 A9; each byte is taken as a Latin-1
    // character and written in UTF-8: C3 83 C2 A9.
    QTest::newRow("each non-ASCII argument byte becomes a character")
        << QStringList{QString::fromUtf8("\xC3\xA9")} << QByteArray("\xC3\x83\xC2\xA9;");
}

void RunSequence::argumentEcho()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, echoAfterProgramName);

    const Outcome outcome = runProgram(arguments, "line\n");

    VERIFY_RUN(outcome, programEcho() + ';' + echoAfterProgramName + "line\n", errorLine);
}

void RunSequence::programName_data()
{
    QTest::addColumn<QStringList>("vector");
    QTest::addColumn<QByteArray>("expectedOut");

    const QString path = tested().path;
    const QString bare = QFileInfo(path).fileName();
    QTest::newRow("bare name") << QStringList{bare, "x"} << (bare.toUtf8() + ";x;line\n");
    QTest::newRow("relative path") << QStringList{"../" + bare, "x"}
                                   << ("../" + bare.toUtf8() + ";x;line\n");
    QTest::newRow("absolute path") << QStringList{path, "x"} << (programEcho() + ";x;line\n");
    QTest::newRow("empty program name") << QStringList{"", "x"} << QByteArray(";x;line\n");
    // Without an argument after the name nothing is read or echoed.
    QTest::newRow("name alone") << QStringList{bare} << QByteArray();
    QTest::newRow("empty argument vector") << QStringList{"--empty"} << QByteArray();
}

void RunSequence::programName()
{
    QFETCH(QStringList, vector);
    QFETCH(QByteArray, expectedOut);
    SKIP_ON_WINDOWS("exec chooses a Linux program's whole argument vector; a Windows program's comes "
                    "from the command line its parent writes");
    if (!tested().emulator.isEmpty())
        QSKIP("through the emulator, exec cannot choose the program's argument vector");

    const Outcome outcome = run(QStringLiteral(EXEC_AS), QStringList{tested().path} + vector, "line\n");

    VERIFY_RUN(outcome, expectedOut, errorLine);
}

void RunSequence::firstLine_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("echoedLine");

    QTest::newRow("only the first line") << QByteArray("first\nsecond\nthird\n")
                                         << QByteArray("first\n");
    QTest::newRow("bare line feed") << QByteArray("\nsecond\n") << QByteArray("\n");
    QTest::newRow("carriage return kept") << QByteArray("dos\r\nnext\r\n")
                                          << QByteArray("dos\r\n");
    QTest::newRow("non-ASCII UTF-8 unchanged")
        << QByteArray("h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80\n")
        << QByteArray("h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80\n");
    QTest::newRow("NUL drops the rest of its line and joins the next")
        << QByteArray("ab\0cd\nef\ngh\n", 12) << QByteArray("abef\n");
    QTest::newRow("line beginning with NUL is joined too")
        << QByteArray("a\0x\n\0y\nz\n", 10) << QByteArray("az\n");
    QTest::newRow("invalid UTF-8 becomes replacement characters")
        << QByteArray("a\xFF" "b\xC3\n") << QByteArray("a\xEF\xBF\xBD" "b\xEF\xBF\xBD\n");
    QTest::newRow("byte-order mark at the start is dropped")
        << QByteArray("\xEF\xBB\xBFtext\n") << QByteArray("text\n");
    QTest::newRow("byte-order mark inside the line is kept")
        << QByteArray("a\xEF\xBB\xBF\n") << QByteArray("a\xEF\xBB\xBF\n");
}

void RunSequence::firstLine()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, echoedLine);

    const Outcome outcome = runProgram({"x"}, input);

    VERIFY_RUN(outcome, programEcho() + ";x;" + echoedLine, errorLine);
}

void RunSequence::endOfInput_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("echoedLine");

    const QString piped = QStringLiteral("exec \"$0\" \"$@\"");
    QTest::newRow("empty input") << piped << QByteArray() << QByteArray();
    QTest::newRow("partial line echoed without a line feed") << piped << QByteArray("abc")
                                                              << QByteArray("abc");
    QTest::newRow("input ending inside a NUL-cut line")
        << piped << QByteArray("ab\0cd", 5) << QByteArray("ab");
    QTest::newRow("input ending inside a multi-byte character")
        << piped << QByteArray("ab\xE2\x82") << QByteArray("ab\xEF\xBF\xBD\xEF\xBF\xBD");
    QTest::newRow("closed standard input") << QStringLiteral("exec \"$0\" \"$@\" <&-")
                                           << QByteArray() << QByteArray();
    QTest::newRow("directory as standard input") << QStringLiteral("exec \"$0\" \"$@\" </")
                                                 << QByteArray() << QByteArray();
    QTest::newRow("empty file as standard input")
        << QStringLiteral("exec \"$0\" \"$@\" </dev/null") << QByteArray() << QByteArray();
    // /dev/null turned into a FIFO (in a private mount namespace): opening it
    // would wait for a writer or a reader that never comes, as the program
    // opens it to take from a pipe and in place of a closed standard stream.
    const QString nullFifo = QStringLiteral(
        "exec unshare --user --map-root-user --mount sh -c 'd=$(mktemp -d) && mkfifo \"$d/null\" && "
        "mount --bind \"$d/null\" /dev/null && rm -r \"$d\" && exec \"$0\" \"$@\" %1' \"$0\" \"$@\"");
    QTest::newRow("/dev/null a FIFO, a pipe as standard input")
        << nullFifo.arg(QString()) << QByteArray("hello\nrest\n") << QByteArray("hello\n");
    QTest::newRow("/dev/null a FIFO, standard input closed")
        << nullFifo.arg(QStringLiteral("<&-")) << QByteArray() << QByteArray();
    // Another character device in its place is not taken for it: /dev/zero
    // read in place of a closed standard input would never end the line.
    QTest::newRow("/dev/null another character device, standard input closed")
        << QStringLiteral("exec unshare --user --map-root-user --mount sh -c 'mount --bind /dev/zero /dev/null && "
                          "exec \"$0\" \"$@\" <&-' \"$0\" \"$@\"")
        << QByteArray() << QByteArray();
    // A record device refuses a read too small for its record, and some drop
    // the record then.
    const QByteArray record = firstKernelLogRecord();
    if (!record.isEmpty())
        QTest::newRow("record device as standard input")
            << QStringLiteral("exec \"$0\" \"$@\" </dev/kmsg") << QByteArray() << record;
}

void RunSequence::endOfInput()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, echoedLine);
    if (tested().runsOnWindows() && (script.contains(QLatin1String("unshare")) || script.contains(QLatin1String("kmsg"))))
        QSKIP("Linux's own devices and mount namespaces");
    if (script.contains(QLatin1String("unshare"))
        && QProcess::execute(QStringLiteral("unshare"), {"--user", "--map-root-user", "--mount", "true"}) != 0)
        QSKIP("no private user and mount namespace can be made here");

    const Outcome outcome = runInShell(script, {"x"}, input);

    VERIFY_RUN(outcome, programEcho() + ";x;" + echoedLine, errorLine);
}

void RunSequence::lineArrivingInPieces()
{
    GroupProcess process;
    startProgram(process, {"x"});
    QVERIFY(process.waitForStarted(finishTimeoutMs()));

    // Until the line feed arrives nothing may appear on either stream.
    feedSlowly(process, {"sl", "ow \xC3", "\xA9"});
    if (QTest::currentTestFailed())
        return;
    process.write("line\nnot this\n");
    process.closeWriteChannel();
    const Outcome outcome = finish(process);

    VERIFY_RUN(outcome, programEcho() + ";x;slow \xC3\xA9line\n", errorLine);
}

void RunSequence::withoutArgumentsInputIsNeverAwaited()
{
    GroupProcess process;
    startProgram(process, {});
    // Standard input stays open and silent: the program must end regardless.
    const Outcome outcome = finish(process);

    VERIFY_RUN(outcome, QByteArray(), errorLine);
}

void RunSequence::restLeftForNextCommand_data()
{
    QTest::addColumn<SharedInput>("input");
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QByteArray>("echoedLine");
    QTest::addColumn<int>("pauseMs");

    const QByteArray longLine(100 * 1000, 'l');
    struct Arrival
    {
        const char *name;
        QList<QByteArray> pieces; // the last one ends the line and brings the rest
        QByteArray echoedLine;
        int pauseMs = 200; // between pieces
    };
    QList<Arrival> arrivals{
        {"a short line at once", {"short line\n"}, "short line\n"},
        {"a line feed alone", {"\n"}, "\n"}, // a take of one byte
        {"a short line in slow pieces", {"sho", "rt ", "line\n"}, "short line\n"},
        {"a long line at once", {longLine + '\n'}, longLine + '\n'},
        {"a long line in slow pieces",
         {longLine.left(40000), longLine.mid(40000, 40000), longLine.mid(80000) + '\n'},
         longLine + '\n'},
        {"a line joined on after a NUL", {QByteArray("ab\0cd\nef\n", 9)}, "abef\n"},
    };
    // Under Wine the program takes a second or so to start: pieces that come
    // faster are all there before its first read.
    if (tested().runsOnWindows())
        arrivals.append({"a line whose end comes late", {"he", "llo\n"}, "hello\n", int(2000 * tested().timeFactor())});
    using Source = SharedInput::Source;
    using Pipe = SharedInput::WindowsPipe;
    QList<SharedInput> inputs{{Source::file}, {Source::pipe}, {Source::socket}, {Source::peekedSocket}};
    if (!tested().windowsParent.isEmpty())
        inputs << SharedInput{Source::pipe, Pipe::messages} << SharedInput{Source::pipe, Pipe::messages, true}
               << SharedInput{Source::pipe, Pipe::messagesReadAsMessages, true}
               << SharedInput{Source::pipe, Pipe::bytes, true};
    for (const SharedInput &input : inputs) {
        for (const auto &arrival : arrivals) {
            // A file holds all of its input from the start; a pipe that fails
            // a read while it is empty differs only where the input pauses.
            const bool inPieces = arrival.pieces.size() > 1;
            if ((input.source == Source::file && inPieces) || (input.noWait && !inPieces))
                continue;
            QList<QByteArray> pieces = arrival.pieces;
            pieces.last() += restOfInput();
            QTest::addRow("%s, %s", input.name().constData(), arrival.name)
                << input << pieces << arrival.echoedLine << arrival.pauseMs;
        }
    }
}

// The program takes exactly its line, however the input arrives: a command
// run next on the same input starts on the byte after the line.
void RunSequence::restLeftForNextCommand()
{
    QFETCH(SharedInput, input);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QByteArray, echoedLine);
    QFETCH(int, pauseMs);
    if (input.source == SharedInput::Source::peekedSocket && (tested().posixOnly || tested().runsOnWindows()))
        QSKIP("a peek offset is Linux's own, which a build with POSIX calls alone cannot see");
    if (!tested().windowsParent.isEmpty() && input.source != SharedInput::Source::pipe)
        QSKIP("through the Windows parent, every input is a Windows pipe");

    const Outcome outcome = runThenNextCommand(input, {tested().path, "x"}, pieces, pauseMs);

    VERIFY_SIMULATED_FAILURE(outcome);
    VERIFY_LEFT_FOR_NEXT_COMMAND(outcome, programEcho() + ";x;" + echoedLine, restOfInput());
    QCOMPARE(outcome.err, errorLine);
}

// What a person types into a Windows console comes back as the text typed,
// in UTF-8, whatever the console's code page, and what is typed after the
// line stays for the next program (the rest of a line that Ctrl-J broke
// too): cmd runs the program five times in one console (a terminal under
// Wine, which tmux gives), each run's output in a file of its own, the last
// two after chcp 65001, and every line is typed while the first run reads. The program is copied into the folder of
// the outputs, so that cmd's command line names no path.
void RunSequence::consoleTypedLines()
{
    if (!tested().runsOnWindows() || !tested().windowsParent.isEmpty())
        QSKIP("a console is Windows' own; this runs in the Windows stage started by Wine");
    const QString tmux = QStandardPaths::findExecutable(QStringLiteral("tmux"));
    if (tmux.isEmpty())
        QSKIP("tmux is not installed: no terminal for Wine's console");
    const struct
    {
        QByteArray argument;
        QByteArray typed; // in UTF-8, a line feed typed as Ctrl-J; then Enter, where not empty
        QByteArray echoed;
    } runs[] = {
        {"a", "\xC3\xA9", "\xC3\xA9\r\n"},
        {"b", "ab\ncd", "ab\n"},
        {"c", "", "cd\r\n"},
        {"d", "rest \xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "rest \xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\r\n"},
        {"e", "\xF0\x9F\x98\x80 x", "\xF0\x9F\x98\x80 x\r\n"},
    };

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(QFile::copy(tested().path, folder.filePath("program.exe")));
    QByteArrayList commands;
    for (const auto &run : runs) {
        if (run.argument == "d")
            commands << "chcp 65001 >nul";
        commands << "program.exe " + run.argument + " >" + run.argument + ".out";
    }
    // timeout --foreground keeps Wine in the terminal's foreground, where
    // reading it does not stop it.
    const QByteArray script = "cd " + shellWord(QFile::encodeName(folder.path()))
                              + " && LC_ALL=C.UTF-8 timeout --foreground "
                              + QByteArray::number(int(30 * tested().timeFactor())) + ' '
                              + shellWord(QFile::encodeName(tested().wine)) + " cmd /c "
                              + shellWord(commands.join(" & ")) + "; touch finished";
    const QString server = "simulated_error_" + QString::number(QCoreApplication::applicationPid());
    const auto inTmux = [&](const QStringList &arguments) {
        QProcess call;
        call.start(tmux, QStringList{"-L", server} + arguments);
        return call.waitForFinished(finishTimeoutMs()) && call.exitStatus() == QProcess::NormalExit
               && call.exitCode() == 0;
    };
    QVERIFY(inTmux({"new-session", "-d", "-s", "console", "-x", "200", "-y", "20", QString::fromUtf8(script)}));
    // The server ends with its session; it is stopped here where a run hangs.
    const auto stopServer = qScopeGuard([&] { inTmux({"kill-server"}); });
    // Wine's console turns the terminal's line mode off only while it reads;
    // a line typed before would end in a bare line feed, which it does not
    // take for Enter. What is typed while the first run reads stays in the
    // console for the runs after it.
    QProcess paneTerminal;
    paneTerminal.start(tmux, {"-L", server, "display-message", "-p", "-t", "console", "#{pane_tty}"});
    QVERIFY(paneTerminal.waitForFinished(finishTimeoutMs()));
    const QString terminal = QString::fromLocal8Bit(paneTerminal.readAllStandardOutput().trimmed());
    const auto isReading = [&] {
        QProcess settings;
        settings.start(QStringLiteral("stty"), {"-F", terminal, "-a"});
        return settings.waitForFinished(finishTimeoutMs()) && settings.readAllStandardOutput().contains("-icanon");
    };
    QTRY_VERIFY_WITH_TIMEOUT(isReading(), int(20000 * tested().timeFactor()));
    for (const auto &run : runs) {
        const QByteArrayList parts = run.typed.split('\n');
        for (int i = 0; i < parts.size() && !run.typed.isEmpty(); ++i) {
            const QString key = i + 1 < parts.size() ? QStringLiteral("C-j") : QStringLiteral("Enter");
            QVERIFY(inTmux({"send-keys", "-t", "console", "-l", QString::fromUtf8(parts.at(i))})
                    && inTmux({"send-keys", "-t", "console", key}));
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("finished")), int(40000 * tested().timeFactor()));

    for (const auto &run : runs) {
        QFile output(folder.filePath(QString::fromLatin1(run.argument + ".out")));
        QVERIFY(output.open(QIODevice::ReadOnly));
        const QByteArray out = output.readAll();
        QCOMPARE(out, "program.exe;" + run.argument + ";" + run.echoed);
    }
}

void RunSequence::outputFaults_data()
{
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<bool>("outReachesCaller");
    QTest::addColumn<bool>("errReachesCaller");

    QTest::newRow("standard output full") << QStringLiteral(">/dev/full") << false << true;
    QTest::newRow("standard output closed") << QStringLiteral(">&-") << false << true;
    QTest::newRow("standard error full") << QStringLiteral("2>/dev/full") << true << false;
    QTest::newRow("standard error closed") << QStringLiteral("2>&-") << true << false;
    QTest::newRow("both outputs closed") << QStringLiteral(">&- 2>&-") << false << false;
}

void RunSequence::outputFaults()
{
    QFETCH(QString, redirection);
    QFETCH(bool, outReachesCaller);
    QFETCH(bool, errReachesCaller);
    if (redirection.contains(QLatin1String(">&- 2>&-")))
        SKIP_ON_WINDOWS("with standard output and error both closed, Wine hands the error line a descriptor of its "
                        "own and then ends the program with status 0");

    const Outcome outcome = runInShell("exec \"$0\" \"$@\" " + redirection, {"x"}, "line\n");

    VERIFY_RUN(outcome, outReachesCaller ? programEcho() + ";x;line\n" : QByteArray(),
               errReachesCaller ? errorLine : QByteArray());
}

void RunSequence::sameBytesUnderEveryLocale_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QProcessEnvironment>("environment");
    QTest::addColumn<QByteArray>("programName");

    // A Latin-1 locale of the test's own, where localedef can make one.
    const QString latin1 = QStringLiteral("de_DE.ISO-8859-1");
    const bool made = QProcess::execute(QStringLiteral("localedef"),
                                        {"-i", "de_DE", "-f", "ISO-8859-1", m_locales.filePath(latin1)})
                      == 0;
    const QString direct = QStringLiteral("exec \"$0\" \"$@\"");
    const struct
    {
        const char *name;
        QStringList variables;
    } settings[] = {
        {"no locale variable", {}},
        {"LC_ALL=C", {"LC_ALL=C"}},
        {"LC_ALL=POSIX", {"LC_ALL=POSIX"}},
        {"LC_ALL=C.UTF-8", {"LC_ALL=C.UTF-8"}},
        {"LANG=en_US.UTF-8, installed or not", {"LANG=en_US.UTF-8"}},
        {"LC_ALL=de_DE.ISO-8859-1, not installed", {"LC_ALL=" + latin1, "LOCPATH=" + m_locales.filePath("none")}},
        {"LC_ALL=de_DE.ISO-8859-1, installed", {"LC_ALL=" + latin1, "LOCPATH=" + m_locales.path()}},
        {"LC_CTYPE a made-up name", {"LC_CTYPE=xx_XX.made-up"}},
    };
    for (const auto &setting : settings) {
        if (QByteArray(setting.name).endsWith(", installed") && !made)
            continue;
        QProcessEnvironment environment = withoutLocale();
        for (const QString &variable : setting.variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        QTest::newRow(setting.name) << direct << environment << tested().bytes();
    }
    QTest::newRow("empty root, no environment")
        << inEmptyRoot.arg(QString()) << withoutLocale() << QByteArray("/simulated_error");
    QTest::newRow("empty root, LC_ALL=C")
        << inEmptyRoot.arg(QStringLiteral("LC_ALL=C")) << withoutLocale() << QByteArray("/simulated_error");
}

// Text is written in UTF-8 whatever the locale says, and whether or not the
// locale it names is installed or any locale is there at all: a Qt that
// takes the locale's encoding from the C library would drop or replace the
// non-ASCII characters, and say so on standard error.
void RunSequence::sameBytesUnderEveryLocale()
{
    QFETCH(QString, script);
    QFETCH(QProcessEnvironment, environment);
    QFETCH(QByteArray, programName);
    SKIP_ON_WINDOWS("Wine reads the argument vector in the locale's encoding before the program sees it");
    if (script.contains(QLatin1String("chroot"))) {
        if (!tested().selfContained)
            QSKIP("only a self-contained file runs in an empty root");
        if (!tested().emulator.isEmpty())
            QSKIP("the emulator is not in the empty root");
        if (QProcess::execute(QStringLiteral("unshare"), {"-r", "true"}) != 0)
            QSKIP("no private user namespace can be made here");
    }

    const QByteArray line = "h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80\n";
    const Outcome outcome = runInShell(script, {QString::fromUtf8("\xC3\xA9")}, line + "rest\n", environment);

    VERIFY_RUN(outcome, echoOfElement(programName) + ";\xC3\x83\xC2\xA9;" + line, errorLine);
}

QTEST_GUILESS_MAIN(RunSequence)
#include "tst_run_sequence.moc"
