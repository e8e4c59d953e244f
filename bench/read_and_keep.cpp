// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The least a program that holds the whole first line before it writes can
// do: read pieces into one growing buffer up to the line feed, then write it.
// No decoding, no checks.
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

constexpr size_t pieceSize = 64 * 1024;
const char errorLine[] = "this is a simulated error\n";

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

int main()
{
    size_t capacity = pieceSize;
    size_t size = 0;
    char *line = static_cast<char *>(std::malloc(capacity));
    for (;;) {
        if (capacity - size < pieceSize) {
            capacity *= 2;
            line = static_cast<char *>(std::realloc(line, capacity));
        }
        if (!line)
            return 1;
        const ssize_t got = ::read(STDIN_FILENO, line + size, pieceSize);
        if (got <= 0)
            break;
        const auto lineFeed = static_cast<const char *>(std::memchr(line + size, '\n', size_t(got)));
        size = lineFeed ? size_t(lineFeed - line + 1) : size + size_t(got);
        if (lineFeed)
            break;
    }
    const bool written = writeAll(STDOUT_FILENO, line, size);
    std::free(line);
    return written && writeAll(STDERR_FILENO, errorLine, sizeof errorLine - 1) ? 10 : 1;
}
