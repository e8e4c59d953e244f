// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_HANDLE_H
#define SIMULATED_ERROR_HANDLE_H

// What every way of reading or writing a Windows handle needs.

#include <windows.h>

// The handle behind a C runtime descriptor; INVALID_HANDLE_VALUE where there
// is none (a standard stream the parent did not give).
HANDLE handleOf(int fd);

// The most one ReadFile or WriteFile is asked to move.
constexpr DWORD largestTransfer = 1u << 30;

// Sleeps a little longer each time it is asked, from 1 ms up to 100 ms:
// Windows tells no waiter when an anonymous pipe has input or room, so a
// wait on one looks again after each sleep, and never spins.
class GrowingSleep
{
public:
    void sleep();

private:
    DWORD m_ms = 1;
};

#endif
