// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_WAY_H
#define SIMULATED_ERROR_READING_WAY_H

#include "input_probe.h"

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

// The way that suits what the input is.
ReadingWay chooseReadingWay(const InputTraits &input);

#endif
