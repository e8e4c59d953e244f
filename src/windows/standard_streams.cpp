// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Standard streams the caller did not give stay as they are.

#include "standard_streams.h"

// The program opens no file or handle of its own on Windows, so nothing can
// take the place of a standard stream that the parent did not give: a
// missing input ends at once, and writes to a missing output fail.
void occupyClosedStandardStreams() {}
