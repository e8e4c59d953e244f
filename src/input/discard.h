// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_DISCARD_H
#define SIMULATED_ERROR_DISCARD_H

#include <QtGlobal>

#include <array>

// Receives and drops up to count bytes with calls of receive(data, size),
// none of which may wait; stops at the first call that brings nothing (0 or
// less). A reader takes the bytes it looked at this way where the input
// cannot drop them itself.
template<typename Receive>
void discard(qsizetype count, Receive receive)
{
    std::array<char, 16 * 1024> discarded;
    while (count > 0) {
        const qsizetype size = qMin<qsizetype>(count, qsizetype(discarded.size()));
        const qsizetype got = receive(discarded.data(), size);
        if (got <= 0)
            return;
        count -= got;
    }
}

#endif
