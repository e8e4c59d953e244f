#include "line_output.h"

#include <QString>
#include <QTextCodec>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int utf8Mib = 106;
// Slices small enough that every buffer stays below malloc's mmap threshold:
// larger ones made each flush map and fault in fresh pages.
constexpr qsizetype sliceSize = 4096;

// For a locale whose encoding is not UTF-8: the text stream converts the
// text slice by slice. The decoder keeps a character split between two
// slices, and a byte-order mark inside the text stays text.
void writeThroughTextStream(const char *utf8Text, qsizetype size)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QTextCodec *utf8 = QTextCodec::codecForMib(utf8Mib);
    QTextStream out(stdout);
    for (qsizetype at = 0; at < size; at += sliceSize) {
        const int length = int(qMin(sliceSize, size - at));
        out << utf8->toUnicode(utf8Text + at, length, &state);
    }
}

} // namespace

void writeToStandardOutput(const char *utf8Text, qsizetype size)
{
    // Under UTF-8 the stream would write exactly these bytes.
    if (QTextCodec::codecForLocale()->mibEnum() != utf8Mib) {
        writeThroughTextStream(utf8Text, size);
        return;
    }
    std::fwrite(utf8Text, 1, size_t(size), stdout);
    std::fflush(stdout);
}
