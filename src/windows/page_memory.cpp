// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Pages from VirtualAlloc.

#include "page_memory.h"

#include <windows.h>

void *mapPages(qsizetype size)
{
    return ::VirtualAlloc(nullptr, SIZE_T(size), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

// Windows cannot move pages to a larger area: they are copied.
void *growPages(void *data, qsizetype size, qsizetype newSize)
{
    return copyIntoNewPages(data, size, newSize);
}

void unmapPages(void *data, qsizetype)
{
    ::VirtualFree(data, 0, MEM_RELEASE);
}

// Large pages need a privilege that a test's process does not hold.
void adviseHugePages(void *, qsizetype) {}
