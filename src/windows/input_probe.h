// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_PROBE_H
#define SIMULATED_ERROR_INPUT_PROBE_H

#include <windows.h>

// What an input handle is, as far as the choice of a way to read it needs to
// know. Asking changes nothing about the input.
struct InputTraits
{
    // messagePipe: a named pipe of messages; character: the NUL device, a
    // serial port.
    enum class Kind { notOpen, disk, pipe, messagePipe, console, character, other };

    Kind kind = Kind::notOpen;
};

InputTraits probeInput(HANDLE handle);

#endif
