// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_CHOICE_H
#define SIMULATED_ERROR_READING_CHOICE_H

#include "input/input_reader.h"
#include "input_probe.h"

#include <memory>

// The ways an input can be read so that exactly the line leaves it.
enum class ReadingWay {
    none, // nothing can come: ends at once
    teeFromPipe,
    peekAtSocket,
    seekBack,
    alignedReads,
    messagesSizedByPeek,
    messagesSizedByQueue,
    records, // a record device: large reads
    recordsOneByOne, // as many records as a read has room for: smallest reads
    packetModeSwitch, // a pseudo-terminal's master side
    byteByByte,
};

struct Reading
{
    ReadingWay way;
    std::unique_ptr<InputReader> reader;
};

// The way that suits what the input is.
ReadingWay chooseReadingWay(const InputTraits &input);

// The reading for the input on fd.
Reading chooseReading(int fd);

// The reading that takes over where the way refused was refused, before any
// byte left the input.
Reading readingAfterRefusal(int fd, ReadingWay refused);

#endif
