// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// simulated_error: a command that fails the same way every time. It echoes its
// argument vector and the first line of its standard input to standard output,
// writes one fixed error line to standard error and exits with status 10.

#include "argument_vector.h"
#include "input_line.h"
#include "line_output.h"
#include "standard_streams.h"
#include "write_whole.h"

#include <unistd.h>

namespace {

constexpr int simulatedErrorStatus = 10;

void echoArguments(const ArgumentVector &arguments)
{
    TextOutput out(STDOUT_FILENO);
    for (int i = 0; i < arguments.count(); ++i) {
        // Each byte is one Latin-1 character. Each element leaves with its
        // separator, flushed, before the next one is written.
        out.stream() << QLatin1String(arguments.at(i)) << ';' << Qt::flush;
    }
}

void echoArgumentsAndLine(const ArgumentVector &arguments, const LineBuffer &line)
{
    echoArguments(arguments);
    // The line is UTF-8 already, and keeps its own line feed: it is written as
    // it is, and nothing is added after it.
    writeWhole(STDOUT_FILENO, line.data(), line.size());
}

void reportSimulatedError()
{
    TextOutput err(STDERR_FILENO);
    err.stream() << "this is a simulated error" << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    occupyClosedStandardStreams();
    const ArgumentVector arguments(argc, argv);
    // Without an argument the input is never touched: the run cannot wait on it.
    if (arguments.count() >= 2)
        echoArgumentsAndLine(arguments, collectInputLine());
    reportSimulatedError();
    return simulatedErrorStatus;
}
