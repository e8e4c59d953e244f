// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Collecting the first line piece by piece must give exactly what decoding it
// whole gives, wherever the pieces happen to end, and take exactly the bytes
// that the line used from a file, a pipe or a socket.

#include "input_line.h"
#include "reference_line.h"

#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Collected
{
    QByteArray line;
    qint64 taken = -1; // bytes taken out of the input
};

enum class InputKind { file, pipe, socket };

QByteArray asBytes(const LineBuffer &line)
{
    return QByteArray(line.data(), int(line.size()));
}

// From a regular file every read returns exactly the piece size asked for,
// so the piece boundaries are known.
Collected collectFromFile(const QByteArray &input, qsizetype pieceSize)
{
    QTemporaryFile file;
    if (!file.open() || file.write(input) != input.size() || !file.flush())
        return {};
    const int fd = ::dup(file.handle());
    ::lseek(fd, 0, SEEK_SET);
    Collected collected;
    collected.line = asBytes(collectInputLine(fd, pieceSize));
    collected.taken = ::lseek(fd, 0, SEEK_CUR);
    ::close(fd);
    return collected;
}

// A pipe or a socket that holds the whole input (the inputs are small) and
// has no writer left: each look brings a whole piece, up to the end.
Collected collectFromPipeOrSocket(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    int ends[2];
    const int made = kind == InputKind::pipe ? ::pipe(ends) : ::socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
    if (made != 0 || ::write(ends[1], input.constData(), size_t(input.size())) != input.size())
        return {};
    ::close(ends[1]);
    Collected collected;
    collected.line = asBytes(collectInputLine(ends[0], pieceSize));
    QByteArray rest(input.size() + 1, Qt::Uninitialized);
    const ssize_t left = ::read(ends[0], rest.data(), size_t(rest.size()));
    collected.taken = input.size() - qMax<ssize_t>(left, 0);
    ::close(ends[0]);
    return collected;
}

Collected collect(const QByteArray &input, qsizetype pieceSize, InputKind kind)
{
    return kind == InputKind::file ? collectFromFile(input, pieceSize)
                                   : collectFromPipeOrSocket(input, pieceSize, kind);
}

const InputKind allInputKinds[] = {InputKind::file, InputKind::pipe, InputKind::socket};

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
}

void LineCollection::matchesWholeDecoding()
{
    QFETCH(QByteArray, input);

    for (InputKind kind : allInputKinds) {
        for (qsizetype pieceSize : {1, 2, 3, 4, 5, 7, 13, 64, 4096, 65536}) {
            const Collected collected = collect(input, pieceSize, kind);
            QCOMPARE(collected.line, referenceLine(input).toUtf8());
            QCOMPARE(collected.taken, qint64(referenceConsumed(input)));
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
        const InputKind kind = allInputKinds[random.bounded(3)];
        const Collected collected = collect(input, pieceSize, kind);
        QVERIFY2(collected.line == referenceLine(input).toUtf8(),
                 qPrintable("input " + input.toHex() + " piece size " + QString::number(pieceSize)));
        QCOMPARE(collected.taken, qint64(referenceConsumed(input)));
    }
}

QTEST_GUILESS_MAIN(LineCollection)
#include "tst_line_collection.moc"
