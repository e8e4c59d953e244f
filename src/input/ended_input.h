// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_ENDED_INPUT_H
#define SIMULATED_ERROR_ENDED_INPUT_H

#include "input_reader.h"

// Input that nothing can come from (a descriptor that is not open, a socket
// that only listens for connections): it ends at once, without waiting.
class EndedInput final : public TakingReader
{
public:
    qsizetype look(char *, qsizetype) override { return 0; }
};

#endif
