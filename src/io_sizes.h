// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_IO_SIZES_H
#define SIMULATED_ERROR_IO_SIZES_H

#include <QtGlobal>

// The two sizes that reading and writing are built around.

// A memory page on every common system: the first piece of input looked at
// (as much as a buffered C stream reads at once), the alignment that direct
// I/O asks for on common devices, and the slices output text is converted in.
constexpr qsizetype pageSize = 4 * 1024;

// What a pipe holds unless its writer made it larger, and so the most that
// one look into a pipe brings; also the first size of a read that must take
// a whole record or message of unknown size.
constexpr qsizetype pipeCapacity = 64 * 1024;

#endif
