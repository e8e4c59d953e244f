// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_GROWING_SLEEP_H
#define SIMULATED_ERROR_GROWING_SLEEP_H

// Sleeps a little longer each time it is asked, from 1 ms up to 100 ms: the
// wait for input or room whose readiness cannot be seen (a socket with a
// low-water mark, a wait refused, a Windows pipe, which tells no waiter),
// which must never spin.
class GrowingSleep
{
public:
    void sleep();
    // After progress, the next wait starts short again.
    void restart() { m_ms = 1; }

private:
    int m_ms = 1;
};

#endif
