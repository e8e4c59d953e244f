// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Pages from mmap, moved with Linux's mremap where the system has it.

#include "page_memory.h"

#include <sys/mman.h>

void *mapPages(qsizetype size)
{
    void *mapped = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return mapped == MAP_FAILED ? nullptr : mapped;
}

// mremap moves the pages to a larger area, which stays one mapping, so that
// the next move takes it whole.
void *growPages(void *data, qsizetype size, qsizetype newSize)
{
#if SIMULATED_ERROR_HAVE_MREMAP
    void *moved = ::mremap(data, size_t(size), size_t(newSize), MREMAP_MAYMOVE);
    return moved == MAP_FAILED ? nullptr : moved;
#else
    return copyIntoNewPages(data, size, newSize);
#endif
}

void unmapPages(void *data, qsizetype size)
{
    ::munmap(data, size_t(size));
}

void adviseHugePages([[maybe_unused]] void *data, [[maybe_unused]] qsizetype size)
{
#if SIMULATED_ERROR_HAVE_MADV_HUGEPAGE
    ::madvise(data, size_t(size), MADV_HUGEPAGE);
#endif
}
