// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Looking into a pipe, and then reading what was used.

#include "pipe_peek_reader.h"

#include "growing_sleep.h"
#include "handle.h"
#include "input/discard.h"

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

// In a pipe of messages, a read smaller than the message takes that much of
// it and says there is more (ERROR_MORE_DATA).
void PipePeekReader::take(qsizetype count)
{
    discard(count, [this](char *data, qsizetype size) {
        DWORD got = 0;
        if (!::ReadFile(m_pipe, data, DWORD(size), &got, nullptr) && ::GetLastError() != ERROR_MORE_DATA)
            return qsizetype(0);
        return qsizetype(got);
    });
}
