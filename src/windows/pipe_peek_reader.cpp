// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "pipe_peek_reader.h"

#include "handle.h"

#include <array>

// A pipe whose writers are all gone and that holds nothing reports a broken
// pipe: the end of the input.
qsizetype PipePeekReader::look(char *data, qsizetype size)
{
    for (GrowingSleep sleep;; sleep.sleep()) {
        DWORD got = 0;
        if (!::PeekNamedPipe(m_pipe, data, DWORD(qMin<qsizetype>(size, largestTransfer)), &got, nullptr,
                             nullptr))
            return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : refused;
        if (got > 0)
            return got;
    }
}

void PipePeekReader::take(qsizetype count)
{
    std::array<char, 16384> taken;
    while (count > 0) {
        DWORD got = 0;
        const DWORD size = DWORD(qMin<qsizetype>(count, qsizetype(taken.size())));
        // In a pipe of messages, a read smaller than the message takes that
        // much of it and says there is more (ERROR_MORE_DATA).
        if (!::ReadFile(m_pipe, taken.data(), size, &got, nullptr) && ::GetLastError() != ERROR_MORE_DATA)
            return;
        if (got == 0)
            return;
        count -= got;
    }
}
