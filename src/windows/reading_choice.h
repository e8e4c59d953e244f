// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_CHOICE_H
#define SIMULATED_ERROR_READING_CHOICE_H

#include "input/input_reader.h"
#include "input_probe.h"

#include <memory>

// The ways an input can be read on Windows so that exactly the line leaves it.
enum class ReadingWay {
    none, // nothing can come: ends at once
    peekIntoPipe,
    seekBack,
    byteByByte,
    messagesByteByByte, // a pipe of messages, whose empty ones are skipped
};

struct Reading
{
    ReadingWay way;
    std::unique_ptr<InputReader> reader;
};

// The way that suits what the input is.
ReadingWay chooseReadingWay(const InputTraits &input);

// The reading for the input on the C runtime's descriptor fd.
Reading chooseReading(int fd);

// The reading that takes over where the way refused was refused, before any
// byte left the input.
Reading readingAfterRefusal(int fd, ReadingWay refused);

#endif
