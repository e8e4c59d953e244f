// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_PAGE_MEMORY_H
#define SIMULATED_ERROR_PAGE_MEMORY_H

#include <QtGlobal>

// Private memory in whole pages straight from the system, for a buffer that
// may grow very large, each system's in its page_memory.cpp. Each returns
// nothing where the system has no memory to give.

void *mapPages(qsizetype size);

// Makes the pages at data, size bytes, into newSize bytes that begin with
// the same contents, moving them where the system can (so that nothing is
// copied) and copying them otherwise. Where it fails, the old pages stay.
void *growPages(void *data, qsizetype size, qsizetype newSize);

void unmapPages(void *data, qsizetype size);

// growPages where the system cannot move pages: new ones are mapped, the
// contents copied and the old ones unmapped. Nothing, and the old pages
// stay, where the new ones cannot be had.
void *copyIntoNewPages(void *data, qsizetype size, qsizetype newSize);

// Asks for huge pages where the system offers them: fewer page faults for a
// large buffer. A hint; nothing changes where it is not taken.
void adviseHugePages(void *data, qsizetype size);

#endif
