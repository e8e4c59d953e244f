// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Starts a program with exactly the argument vector and standard streams a
// test asks for, which QProcess cannot set up: a chosen program name, raw
// bytes, no elements at all, a non-blocking or broken stream.
//
//   exec_as [OPTION]... PROGRAM ELEMENT...     argument vector ELEMENT...
//   exec_as [OPTION]... PROGRAM --hex HEX...   the same, each element in hex
//   exec_as [OPTION]... PROGRAM --empty        an empty argument vector
//
// Options:
//   --nonblocking-stdin   standard input in non-blocking mode
//   --socket-stdin        standard input a Unix stream socket, which a child
//                         process feeds with the original standard input as
//                         it arrives, then shuts down for writing
//   --broken-stdout       standard output a pipe whose reader is gone
//   --ignore-sigpipe      start the program with SIGPIPE ignored

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <cerrno>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string fromHex(const char *hex)
{
    std::string bytes;
    for (std::size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes += char(std::stoi(std::string(hex + i, 2), nullptr, 16));
    return bytes;
}

bool breakStandardOutput()
{
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    ::close(ends[0]);
    return ::dup2(ends[1], STDOUT_FILENO) == STDOUT_FILENO && ::close(ends[1]) == 0;
}

bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

[[noreturn]] void relayInput(int socket)
{
    // The relay must not keep the caller's output pipes open.
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !writeAll(socket, buffer, got))
            break;
    }
    ::shutdown(socket, SHUT_WR);
    ::_exit(0);
}

bool relayStandardInputThroughSocket()
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return false;
    const pid_t relay = ::fork();
    if (relay < 0)
        return false;
    if (relay == 0) {
        ::close(ends[0]);
        relayInput(ends[1]);
    }
    ::close(ends[1]);
    return ::dup2(ends[0], STDIN_FILENO) == STDIN_FILENO && ::close(ends[0]) == 0;
}

bool applyOption(const char *option)
{
    if (std::strcmp(option, "--nonblocking-stdin") == 0)
        return ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK) == 0;
    if (std::strcmp(option, "--socket-stdin") == 0)
        return relayStandardInputThroughSocket();
    if (std::strcmp(option, "--broken-stdout") == 0)
        return breakStandardOutput();
    if (std::strcmp(option, "--ignore-sigpipe") == 0)
        return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    std::fprintf(stderr, "exec_as: unknown option %s\n", option);
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    int next = 1;
    for (; next < argc && std::strncmp(argv[next], "--", 2) == 0; ++next) {
        if (!applyOption(argv[next]))
            return 2;
    }
    if (next >= argc) {
        std::fputs("usage: exec_as [OPTION]... PROGRAM (--empty | [--hex] ELEMENT...)\n", stderr);
        return 2;
    }
    const char *program = argv[next++];
    const bool hex = next < argc && std::strcmp(argv[next], "--hex") == 0;
    const bool empty = next < argc && std::strcmp(argv[next], "--empty") == 0;

    std::vector<std::string> elements;
    for (int i = (hex || empty) ? next + 1 : next; i < argc; ++i)
        elements.push_back(hex ? fromHex(argv[i]) : std::string(argv[i]));
    std::vector<char *> vector;
    for (std::string &element : elements)
        vector.push_back(element.data());
    vector.push_back(nullptr);

    ::execv(program, vector.data());
    std::perror("exec_as: execv");
    return 127;
}
