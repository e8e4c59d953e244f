// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The least a program that holds the whole first line before it writes can
// do: read the input in pieces into one buffer up to the line feed, then
// write the buffer. No decoding, no checks, nothing else in the way: one
// anonymous mapping in huge pages, large enough from the start for the
// benchmark's lines (the pages are only touched as the line fills them), and
// moved by the kernel to a larger one in the rare case that it is not.
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr size_t pieceSize = 64 * 1024;
constexpr size_t initialCapacity = size_t(1) << 30;
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

char *mapLine(size_t capacity)
{
    void *mapped = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    ::madvise(mapped, capacity, MADV_HUGEPAGE);
    return static_cast<char *>(mapped);
}

char *growLine(char *line, size_t capacity, size_t newCapacity)
{
    void *moved = ::mremap(line, capacity, newCapacity, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED)
        return nullptr;
    ::madvise(moved, newCapacity, MADV_HUGEPAGE);
    return static_cast<char *>(moved);
}

} // namespace

int main()
{
    size_t capacity = initialCapacity;
    char *line = mapLine(capacity);
    size_t size = 0;
    while (line) {
        if (capacity - size < pieceSize) {
            line = growLine(line, capacity, 2 * capacity);
            capacity *= 2;
            continue;
        }
        const ssize_t got = ::read(STDIN_FILENO, line + size, pieceSize);
        if (got <= 0)
            break;
        const auto lineFeed = static_cast<const char *>(std::memchr(line + size, '\n', size_t(got)));
        size = lineFeed ? size_t(lineFeed - line + 1) : size + size_t(got);
        if (lineFeed)
            break;
    }
    if (!line)
        return 1;
    return writeAll(STDOUT_FILENO, line, size)
                   && writeAll(STDERR_FILENO, errorLine, sizeof errorLine - 1)
               ? 10
               : 1;
}
