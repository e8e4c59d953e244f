// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Writing text to an output descriptor, whole and in the output's encoding.

#include "line_output.h"

#include "io_sizes.h"
#include "write_whole.h"

#include <unistd.h>

namespace {

// Slices small enough that every buffer stays below malloc's mmap threshold:
// larger ones made each flush map and fault in fresh pages.
constexpr qsizetype sliceSize = pageSize;

// For an encoding other than UTF-8: the text stream converts the text slice
// by slice.
void writeThroughTextStream(const char *utf8Text, qsizetype size, TextEncoding encoding)
{
    Utf8SliceDecoder decoder;
    OutputDescriptor device(STDOUT_FILENO);
    QTextStream out(&device);
    setEncoding(out, encoding);
    for (qsizetype at = 0; at < size; at += sliceSize)
        out << decoder.decode(utf8Text + at, qMin(sliceSize, size - at));
}

} // namespace

OutputDescriptor::OutputDescriptor(int fd) : m_fd(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 OutputDescriptor::writeData(const char *data, qint64 size)
{
    return writeWhole(m_fd, data, qsizetype(size)) ? size : -1;
}

void writeToStandardOutput(const char *utf8Text, qsizetype size, TextEncoding encoding)
{
    // Under UTF-8 the stream would write exactly these bytes.
    if (!isUtf8(encoding)) {
        writeThroughTextStream(utf8Text, size, encoding);
        return;
    }
    writeWhole(STDOUT_FILENO, utf8Text, size);
}
