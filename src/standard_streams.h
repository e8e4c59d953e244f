// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_STANDARD_STREAMS_H
#define SIMULATED_ERROR_STANDARD_STREAMS_H

// Opens each standard stream that the caller closed on the null device, so
// that no file the process opens later takes its place and receives what is
// meant for that stream. Never waits; a stream stays closed where the null
// device cannot be had.
void occupyClosedStandardStreams();

#endif
