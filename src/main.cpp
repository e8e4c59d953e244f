// simulated_error: a command that fails the same way every time. It echoes its
// argument vector and the first line of its standard input to standard output,
// writes one fixed error line to standard error and exits with status 10.

#include "input_line.h"
#include "line_output.h"

#include <QTextStream>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int simulatedErrorStatus = 10;

// A standard descriptor that the caller closed is opened on /dev/null, so
// that no file the process opens later can take its number and receive the
// output meant for that stream.
void occupyClosedStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1)
            ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
}

void echoArgumentsAndLine(int argc, const char *const argv[], const QByteArray &line)
{
    for (int i = 0; i < argc; ++i) {
        // One stream per element: releasing it flushes the element with its
        // separator to standard output before the next element is written.
        QTextStream out(stdout);
        out << argv[i] << ";";
    }
    // The line keeps its own line feed; nothing is added after it.
    writeToStandardOutput(line);
}

void reportSimulatedError()
{
    QTextStream err(stderr);
    err << "this is a simulated error" << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    occupyClosedStandardDescriptors();
    // Without an argument the input is never touched: the run cannot wait on it.
    if (argc >= 2)
        echoArgumentsAndLine(argc, argv, collectInputLine());
    reportSimulatedError();
    return simulatedErrorStatus;
}
