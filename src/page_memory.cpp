// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Growing pages by copying, for systems that cannot move them.

#include "page_memory.h"

#include <cstring>

void *copyIntoNewPages(void *data, qsizetype size, qsizetype newSize)
{
    void *grown = mapPages(newSize);
    if (grown) {
        std::memcpy(grown, data, size_t(size));
        unmapPages(data, size);
    }
    return grown;
}
