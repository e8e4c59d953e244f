// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_TABLE_H
#define SIMULATED_ERROR_READING_TABLE_H

#include "input_reader.h"
#include "reading_way.h"

#include <memory>

// What a system knows about one input, learned once when the table is made:
// which way of reading suits it, which way takes over where one is refused,
// and how each way's reader is made. Each system makes its own, in its
// reading_table.cpp; the choice among the ways is ChosenReader's.
class ReadingTable
{
public:
    virtual ~ReadingTable() = default;

    virtual ReadingWay suitedWay() const = 0;
    // The way to read with where the way refused was refused, or could not be
    // had, before any byte left the input; none where no other serves.
    virtual ReadingWay wayAfterRefusal(ReadingWay refused) const = 0;
    // The reader of the way (never none), or nothing where this input cannot
    // have it here (no private pipe for looking into a pipe).
    virtual std::unique_ptr<InputReader> makeReader(ReadingWay way) const = 0;
};

// The table for the input on the C runtime's descriptor fd.
std::unique_ptr<ReadingTable> readingTableFor(int fd);

#endif
