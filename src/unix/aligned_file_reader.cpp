// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a file opened with O_DIRECT in aligned blocks, at its position.

#include "aligned_file_reader.h"

#include "descriptor.h"
#include "io_sizes.h"

#include <cstring>

#include <unistd.h>

namespace {

// The page size serves every common device; a device that refuses it is
// asked again at twice the alignment, up to this.
constexpr qsizetype largestAlignment = 16 * pageSize;

qsizetype roundUp(qsizetype size, qsizetype alignment)
{
    return (size + alignment - 1) / alignment * alignment;
}

} // namespace

AlignedFileReader::AlignedFileReader(int fd)
    : InputReader(Looking::leavesBytes), m_fd(fd), m_alignment(pageSize)
{
}

qsizetype AlignedFileReader::look(char *data, qsizetype size)
{
    const off_t position = ::lseek(m_fd, 0, SEEK_CUR);
    if (position < 0)
        return 0;
    for (;;) {
        const off_t start = position - position % m_alignment;
        const qsizetype skip = qsizetype(position - start);
        const qsizetype blocksSize = roundUp(skip + size, m_alignment);
        if (!makeRoom(blocksSize))
            return 0;
        const ssize_t got = retryOnInterrupt(
            [&] { return ::pread(m_fd, m_blocks.get(), size_t(blocksSize), start); });
        if (got < 0 && errno == EINVAL && m_alignment < largestAlignment) {
            m_alignment *= 2;
            continue;
        }
        if (got <= skip)
            return 0;
        const qsizetype used = qMin(qsizetype(got) - skip, size);
        std::memcpy(data, m_blocks.get() + skip, size_t(used));
        return used;
    }
}

void AlignedFileReader::take(qsizetype count)
{
    ::lseek(m_fd, off_t(count), SEEK_CUR);
}

// The blocks are aligned for the largest alignment ever asked, so that a
// larger one needs no new buffer.
bool AlignedFileReader::makeRoom(qsizetype size)
{
    if (size <= m_blocksSize)
        return true;
    m_blocks.reset(static_cast<char *>(
        std::aligned_alloc(size_t(largestAlignment), size_t(roundUp(size, largestAlignment)))));
    m_blocksSize = m_blocks ? size : 0;
    return bool(m_blocks);
}
