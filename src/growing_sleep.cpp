// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// A sleep, not a wait on the input: it stands in for a wait that cannot be
// had. A signal does not cut it short.

#include "growing_sleep.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr int longestSleepMs = 100;

} // namespace

void GrowingSleep::sleep()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(m_ms));
    m_ms = std::min(2 * m_ms, longestSleepMs);
}
