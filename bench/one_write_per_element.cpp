// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The least that echoing the argument vector with one flush per element
// allows: one write for each element with its separator. The first read of
// standard input is written back, then the error line.
#include <cstring>

#include <unistd.h>

namespace {

// The kernel refuses an argument of 128 KiB or more.
char element[128 * 1024 + 1];
char line[4096];
const char errorLine[] = "this is a simulated error\n";

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 0; i < argc; ++i) {
        const size_t length = std::strlen(argv[i]);
        std::memcpy(element, argv[i], length);
        element[length] = ';';
        if (::write(STDOUT_FILENO, element, length + 1) < 0)
            return 1;
    }
    const ssize_t got = ::read(STDIN_FILENO, line, sizeof line);
    if (got > 0 && ::write(STDOUT_FILENO, line, size_t(got)) < 0)
        return 1;
    return ::write(STDERR_FILENO, errorLine, sizeof errorLine - 1) < 0 ? 1 : 10;
}
