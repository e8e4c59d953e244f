// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "handle.h"

#include <io.h>

namespace {

constexpr DWORD longestSleepMs = 100;

} // namespace

HANDLE handleOf(int fd)
{
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle == -1 || handle == -2 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

void GrowingSleep::sleep()
{
    ::Sleep(m_ms);
    m_ms = m_ms * 2 > longestSleepMs ? longestSleepMs : m_ms * 2;
}
