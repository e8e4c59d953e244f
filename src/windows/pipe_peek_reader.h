// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_PIPE_PEEK_READER_H
#define SIMULATED_ERROR_PIPE_PEEK_READER_H

#include "input/input_reader.h"

#include <windows.h>

// Looks into a pipe with PeekNamedPipe, which leaves the bytes in the pipe,
// and then reads just the bytes the line used: they are in the pipe, so the
// read does not wait. Windows tells no waiter when an anonymous pipe has
// input, so while the pipe is empty the look sleeps, longer each time (up to
// 100 ms), and looks again.
class PipePeekReader final : public InputReader
{
public:
    explicit PipePeekReader(HANDLE pipe) : InputReader(Looking::leavesBytes), m_pipe(pipe) {}

    // Refused where the pipe cannot be looked into (under Wine, a pipe that
    // a Linux parent made).
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    HANDLE m_pipe;
};

#endif
