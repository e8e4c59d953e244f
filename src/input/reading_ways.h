// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_WAYS_H
#define SIMULATED_ERROR_READING_WAYS_H

#include "input_reader.h"

#include <array>
#include <initializer_list>
#include <memory>

// The ways of reading an input so that exactly the bytes taken leave it.
// Each system names its own, after the reader that takes each one, in its
// reading_ways.cpp; the choice among them is ChosenReader's.
enum class ReadingWay : unsigned char;

// The ways that suit one input, best first: where one is refused before any
// byte has left the input, or cannot be had, the next takes over.
struct ReadingWays
{
    ReadingWays() = default;
    ReadingWays(std::initializer_list<ReadingWay> list) // three at most
    {
        for (ReadingWay way : list)
            ways[size_t(count++)] = way;
    }

    std::array<ReadingWay, 3> ways{};
    int count = 0;
};

// The ways for the input on the C runtime's descriptor fd, learned by looking
// at it once; none where nothing can come from it.
ReadingWays readingWaysFor(int fd);

// The reader of a way of that input, or nothing where the input cannot have
// it here (no private pipe to look into a pipe through).
std::unique_ptr<InputReader> makeReader(ReadingWay way, int fd);

#endif
