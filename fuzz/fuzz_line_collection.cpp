// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Feeds fuzzed input to the line collection through a pipe on descriptor 0,
// as the program reads it, and checks the collected line against the
// collection rules applied to the whole input, not only for crashes, and
// that exactly the bytes the rules use were taken from the pipe.
//
// The first byte picks the size of the pieces read (the program's own sizes
// when it is 0), so that piece boundaries fall everywhere.

#include "input_line.h"
#include "reference_line.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <unistd.h>

namespace {

void writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    ::close(fd);
}

QByteArray readToEnd(int fd)
{
    QByteArray bytes;
    char buffer[65536];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, int(got));
    return bytes;
}

struct Collected
{
    QByteArray line;
    QByteArray rest; // what the collection left in the pipe
};

Collected collectThroughPipe(const QByteArray &input, qsizetype pieceSize)
{
    int ends[2];
    if (::pipe(ends) != 0)
        std::abort();
    std::thread writer(writeAll, ends[1], input);
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(ends[0], STDIN_FILENO);
    ::close(ends[0]);
    const LineBuffer line = pieceSize > 0 ? collectInputLine(STDIN_FILENO, pieceSize) : collectInputLine();
    Collected collected{QByteArray(line.data(), int(line.size())), readToEnd(STDIN_FILENO)};
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    writer.join();
    return collected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype pieceSize = data[0];
    const QByteArray input(reinterpret_cast<const char *>(data + 1), int(size - 1));

    const Collected collected = collectThroughPipe(input, pieceSize);
    if (collected.line != referenceLine(input).toUtf8()) {
        std::fprintf(stderr, "collected line differs from the rules for input %s, pieces of %d\n",
                     input.toHex().constData(), int(pieceSize));
        std::abort();
    }
    if (collected.rest != input.mid(referenceConsumed(input))) {
        std::fprintf(stderr, "%d bytes left in the pipe, not %d, for input %s, pieces of %d\n",
                     int(collected.rest.size()), int(input.size() - referenceConsumed(input)),
                     input.toHex().constData(), int(pieceSize));
        std::abort();
    }
    return 0;
}
