// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "line_output.h"

#include <cstdio>

namespace {

// Slices small enough that every buffer stays below malloc's mmap threshold:
// larger ones made each flush map and fault in fresh pages.
constexpr qsizetype sliceSize = 4096;

// For an encoding other than UTF-8: the text stream converts the text slice
// by slice.
void writeThroughTextStream(const char *utf8Text, qsizetype size, TextEncoding encoding)
{
    Utf8SliceDecoder decoder;
    QTextStream out(stdout);
    setEncoding(out, encoding);
    for (qsizetype at = 0; at < size; at += sliceSize)
        out << decoder.decode(utf8Text + at, qMin(sliceSize, size - at));
}

} // namespace

void writeToStandardOutput(const char *utf8Text, qsizetype size, TextEncoding encoding)
{
    // Under UTF-8 the stream would write exactly these bytes.
    if (!isUtf8(encoding)) {
        writeThroughTextStream(utf8Text, size, encoding);
        return;
    }
    std::fwrite(utf8Text, 1, size_t(size), stdout);
    std::fflush(stdout);
}
