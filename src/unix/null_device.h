// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_NULL_DEVICE_H
#define SIMULATED_ERROR_NULL_DEVICE_H

// Opens /dev/null with flags, only where it is the null device: opening never
// waits (a FIFO bound over it would wait for its other side), and anything
// else in its place is closed again. -1 where it cannot be had.
int openNullDevice(int flags);

#endif
