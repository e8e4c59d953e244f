// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "page_memory.h"

#include <cstring>

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
    void *grown = mapPages(newSize);
    if (grown) {
        std::memcpy(grown, data, size_t(size));
        unmapPages(data, size);
    }
    return grown;
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
#else
#endif
}
