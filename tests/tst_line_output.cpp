// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Writing the line in an encoding other than UTF-8 (which Debian's Qt never
// reports for the locale, so only an encoding given here reaches that path):
// the bytes must be those a QTextStream writes for the same text, wherever
// the slices that the text is converted in happen to split a character.

#include "line_output.h"

#include <QTextStream>
#include <QtTest>

#include <cstdio>

#include <unistd.h>

namespace {

// What writeToStandardOutput writes, with standard output sent to a file.
QByteArray writtenToStandardOutput(const QByteArray &utf8Text, TextEncoding encoding)
{
    std::FILE *file = std::tmpfile();
    if (!file)
        return "(no temporary file)";
    std::fflush(stdout);
    const int savedOutput = ::dup(STDOUT_FILENO);
    ::dup2(::fileno(file), STDOUT_FILENO);
    writeToStandardOutput(utf8Text.constData(), utf8Text.size(), encoding);
    std::fflush(stdout);
    ::dup2(savedOutput, STDOUT_FILENO);
    ::close(savedOutput);
    QByteArray written(int(std::ftell(file)), Qt::Uninitialized);
    std::rewind(file);
    written.resize(int(std::fread(written.data(), 1, size_t(written.size()), file)));
    std::fclose(file);
    return written;
}

// What one insertion into a text stream with the encoding writes.
QByteArray writtenByTextStream(const QString &text, TextEncoding encoding)
{
    QByteArray bytes;
    QTextStream stream(&bytes, QIODevice::WriteOnly);
    setEncoding(stream, encoding);
    stream << text;
    stream.flush();
    return bytes;
}

// Text in which the converter's slices (every 4096 bytes) split characters
// of every width at every place, and which outgrows the stream's own buffer
// (16384 characters): é € 😀, a byte-order mark, 日 Ж Ω.
QByteArray textAcrossSlices()
{
    const QList<QByteArray> characters{"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF"};
    QByteArray text;
    for (const QByteArray &character : characters) {
        for (int before = 1; before < character.size(); ++before) {
            const int nextSlice = (text.size() / 4096 + 1) * 4096;
            text += QByteArray(nextSlice - before - text.size(), 'x') + character;
        }
    }
    const QByteArray mixed = "a\xC3\xA9\xE2\x82\xAC\xE6\x97\xA5\xF0\x9F\x98\x80\xD0\x96\xCE\xA9 ";
    return text + mixed.repeated(1000) + '\n';
}

} // namespace

class LineOutput : public QObject
{
    Q_OBJECT

private slots:
    void sameBytesAsTextStream_data();
    void sameBytesAsTextStream();
};

void LineOutput::sameBytesAsTextStream_data()
{
    QTest::addColumn<QByteArray>("encodingName");

    // Single-byte with unmappable characters, multi-byte, stateful (escape
    // sequences) and wide encodings, as far as this Qt has them (Qt 6 has
    // only the first and the last).
    for (const char *name : {"ISO-8859-1", "KOI8-R", "GB18030", "EUC-JP", "Shift_JIS",
                             "ISO-2022-JP", "UTF-16"}) {
        if (encodingNamed(name))
            QTest::newRow(name) << QByteArray(name);
    }
}

void LineOutput::sameBytesAsTextStream()
{
    QFETCH(QByteArray, encodingName);
    const TextEncoding encoding = *encodingNamed(encodingName.constData());
    const QByteArray text = textAcrossSlices();

    const QByteArray written = writtenToStandardOutput(text, encoding);
    const QByteArray expected = writtenByTextStream(QString::fromUtf8(text), encoding);

    QVERIFY(!expected.isEmpty());
    QVERIFY2(written == expected,
             qPrintable(QStringLiteral("%1 bytes written, %2 expected, first difference at %3")
                            .arg(written.size())
                            .arg(expected.size())
                            .arg(std::mismatch(written.cbegin(), written.cend(), expected.cbegin(),
                                               expected.cend())
                                     .first
                                 - written.cbegin())));
}

QTEST_GUILESS_MAIN(LineOutput)
#include "tst_line_output.moc"
