// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_CHOICE_H
#define SIMULATED_ERROR_READING_CHOICE_H

#include "input_reader.h"
#include "reading_way.h"

#include <memory>

// The choice of a way to read an input, made by each system in its own
// reading_choice.cpp from what the input is (reading_way.h).

struct Reading
{
    ReadingWay way;
    std::unique_ptr<InputReader> reader;
};

// The reading for the input on the C runtime's descriptor fd.
Reading chooseReading(int fd);

// The reading that takes over where the way refused was refused, before any
// byte left the input.
Reading readingAfterRefusal(int fd, ReadingWay refused);

#endif
