// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_WAY_H
#define SIMULATED_ERROR_READING_WAY_H

#include "input_probe.h"

// The ways an input can be read on Windows so that exactly the line leaves it.
enum class ReadingWay {
    none, // nothing can come: ends at once
    peekIntoPipe,
    seekBack,
    byteByByte,
    messagesByteByByte, // a pipe of messages, whose empty ones are skipped
};

// The way that suits what the input is.
ReadingWay chooseReadingWay(const InputTraits &input);

#endif
