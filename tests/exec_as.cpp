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
//   --private-nonblocking-stdin
//                         standard input, a pipe, opened anew in non-blocking
//                         mode, which leaves the caller's own blocking
//   --socket-stdin        standard input a Unix stream socket, which a child
//                         process feeds with the original standard input as
//                         it arrives, then shuts down for writing
//   --tcp-stdin           the same through a TCP connection on loopback
//   --udp-error-stdin     standard input a UDP socket on loopback with an ICMP
//                         error on its error queue (IP_RECVERR), so that poll
//                         reports POLLERR, and pending as the socket's error
//                         (which the first receive takes), which a child
//                         process feeds with the original standard input, a
//                         datagram for each piece as it arrives
//   --datagram-stdin      standard input a Unix datagram socket, which a child
//                         process feeds with the original standard input, a
//                         datagram for each piece as it arrives, then shuts
//                         down for reading (a datagram socket has no other end)
//   --low-water-stdin     standard input's socket given a low-water mark
//                         (SO_RCVLOWAT) of 1 MiB (after a --*socket-stdin)
//   --urgent-socket-stdin the same, with an out-of-band byte sent after the
//                         first piece of input
//   --packet-terminal-stdin
//                         standard input the master side of a pseudo-terminal
//                         in packet mode, whose terminal side (raw) a child
//                         process feeds with the original standard input,
//                         then closes
//   --peeked-stdin        standard input's socket given a peek offset, its
//                         first 3 bytes peeked at (after --socket-stdin)
//   --broken-stdout       standard output a pipe whose reader is gone
//   --datagram-stdout     standard output a Unix datagram socket, whose
//                         messages this process relays to the original
//                         standard output; it starts the program as its child
//                         and ends as the program ended
//   --nonblocking-stdout  standard output a non-blocking pipe of one page,
//                         relayed to the original standard output by this
//                         process, which starts the program as its child and
//                         ends as the program ended; the relay pauses after
//                         the first byte, so that the pipe is full
//   --ignore-sigpipe      start the program with SIGPIPE ignored

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
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

// Copies until the end; afterEachPiece runs after each piece written.
template<typename AfterEachPiece>
void relay(int from, int to, AfterEachPiece afterEachPiece)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !writeAll(to, buffer, got))
            return;
        afterEachPiece();
    }
}

void relay(int from, int to)
{
    relay(from, to, [] {});
}

// A relay must not keep the caller's output pipes open.
void leaveCallersOutputs()
{
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
}

[[noreturn]] void relayInput(int socket, bool urgent)
{
    leaveCallersOutputs();
    relay(STDIN_FILENO, socket, [&urgent, socket] {
        if (urgent)
            ::send(socket, "!", 1, MSG_OOB);
        urgent = false;
    });
    ::shutdown(socket, SHUT_WR);
    ::_exit(0);
}

// A connected pair of TCP sockets on loopback.
bool tcpPair(int ends[2])
{
    const int listening = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool made = listening >= 0 && ::bind(listening, reinterpret_cast<sockaddr *>(&address), size) == 0
                      && ::listen(listening, 1) == 0
                      && ::getsockname(listening, reinterpret_cast<sockaddr *>(&address), &size) == 0
                      && (ends[1] = ::socket(AF_INET, SOCK_STREAM, 0)) >= 0
                      && ::connect(ends[1], reinterpret_cast<sockaddr *>(&address), size) == 0
                      && (ends[0] = ::accept(listening, nullptr, nullptr)) >= 0;
    ::close(listening);
    return made;
}

bool relayStandardInputThroughSocket(bool urgent, bool tcp = false)
{
    int ends[2];
    if (tcp ? !tcpPair(ends) : ::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return false;
    const pid_t relay = ::fork();
    if (relay < 0)
        return false;
    if (relay == 0) {
        ::close(ends[0]);
        relayInput(ends[1], urgent);
    }
    ::close(ends[1]);
    return ::dup2(ends[0], STDIN_FILENO) == STDIN_FILENO && ::close(ends[0]) == 0;
}

// The loopback address, with the port a socket bound to it was given.
bool bindToLoopback(int fd, sockaddr_in &address)
{
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    return ::bind(fd, reinterpret_cast<sockaddr *>(&address), size) == 0
           && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0;
}

// A datagram sent to a port that was just closed brings back an ICMP error,
// which IP_RECVERR queues; poll reports POLLERR from then on.
bool queueIcmpError(int fd)
{
    const int closed = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in nobody{};
    const bool bound = closed >= 0 && bindToLoopback(closed, nobody);
    ::close(closed);
    const int on = 1;
    pollfd request{fd, 0, 0};
    return bound && ::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on) == 0
           && ::sendto(fd, "?", 1, 0, reinterpret_cast<sockaddr *>(&nobody), sizeof nobody) == 1
           && ::poll(&request, 1, 5000) == 1 && (request.revents & POLLERR);
}

// A child process relays the original standard input into writing, as it
// arrives, then closes it (or shuts reading down for reading); reading
// becomes standard input.
enum class AtEnd { close, shutDownReading };

bool relayStandardInputInto(int reading, int writing, AtEnd atEnd = AtEnd::close)
{
    const pid_t relay = ::fork();
    if (relay < 0)
        return false;
    if (relay == 0) {
        if (atEnd == AtEnd::close)
            ::close(reading);
        leaveCallersOutputs();
        ::relay(STDIN_FILENO, writing);
        if (atEnd == AtEnd::shutDownReading)
            ::shutdown(reading, SHUT_RD);
        ::_exit(0);
    }
    ::close(writing);
    return ::dup2(reading, STDIN_FILENO) == STDIN_FILENO && ::close(reading) == 0;
}

bool relayStandardInputThroughUdp()
{
    const int receiving = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int sending = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    return receiving >= 0 && sending >= 0 && bindToLoopback(receiving, address) && queueIcmpError(receiving)
           && ::connect(sending, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
           && relayStandardInputInto(receiving, sending);
}

bool relayStandardInputThroughDatagrams()
{
    int ends[2];
    return ::socketpair(AF_UNIX, SOCK_DGRAM, 0, ends) == 0
           && relayStandardInputInto(ends[0], ends[1], AtEnd::shutDownReading);
}

bool relayStandardInputThroughPacketTerminal()
{
    int master = -1;
    int terminal = -1;
    termios raw{};
    ::cfmakeraw(&raw);
    int on = 1;
    return ::openpty(&master, &terminal, nullptr, &raw, nullptr) == 0 && ::ioctl(master, TIOCPKT, &on) == 0
           && relayStandardInputInto(master, terminal);
}

// With a peek offset, each peek starts where the last one ended.
bool peekAheadOnStandardInput()
{
    constexpr int peeked = 3;
    int offset = 0;
    if (::setsockopt(STDIN_FILENO, SOL_SOCKET, SO_PEEK_OFF, &offset, sizeof offset) != 0)
        return false;
    char buffer[peeked];
    for (int done = 0; done < peeked;) {
        const ssize_t got = ::recv(STDIN_FILENO, buffer, size_t(peeked - done), MSG_PEEK);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += int(got);
    }
    return true;
}

// Opening a pipe through /proc makes a new open file description of it, so
// that its mode is the program's alone.
bool reopenStandardInputNonBlocking()
{
    const int reopened = ::open("/proc/self/fd/0", O_RDONLY | O_NONBLOCK);
    return reopened >= 0 && ::dup2(reopened, STDIN_FILENO) == STDIN_FILENO && ::close(reopened) == 0;
}

bool setLowWaterMarkOnStandardInput()
{
    const int mark = 1024 * 1024;
    return ::setsockopt(STDIN_FILENO, SOL_SOCKET, SO_RCVLOWAT, &mark, sizeof mark) == 0;
}

[[noreturn]] void exitAs(int status)
{
    if (WIFSIGNALED(status)) {
        std::signal(WTERMSIG(status), SIG_DFL);
        ::raise(WTERMSIG(status));
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

// Forks: the child, with ends[1] as its standard output, returns to start the
// program (true where that worked); the parent calls relay(ends[0], child)
// and ends as the child ended.
template<typename Relay>
bool forkWithStandardOutput(int ends[2], Relay relay)
{
    const pid_t program = ::fork();
    if (program < 0)
        return false;
    if (program == 0) {
        ::close(ends[0]);
        return ::dup2(ends[1], STDOUT_FILENO) == STDOUT_FILENO && ::close(ends[1]) == 0;
    }
    ::close(ends[1]);
    exitAs(relay(ends[0], program));
}

int waitFor(pid_t program)
{
    int status = 0;
    while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

bool relayStandardOutputThroughFullPipe()
{
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    ::fcntl(ends[1], F_SETPIPE_SZ, 4096);
    ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
    return forkWithStandardOutput(ends, [](int output, pid_t program) {
        pollfd readable{output, POLLIN, 0};
        ::poll(&readable, 1, -1);
        ::poll(nullptr, 0, 100); // pacing, not synchronisation: a slow reader
        relay(output, STDOUT_FILENO);
        return waitFor(program);
    });
}

// Copies every message waiting on the socket to the original standard output.
void relayMessages(int socket)
{
    static char message[1024 * 1024];
    for (ssize_t got; (got = ::recv(socket, message, sizeof message, MSG_DONTWAIT)) > 0;)
        writeAll(STDOUT_FILENO, message, got);
}

// A datagram socket tells no end of its own: the relay goes on until the
// program has ended.
bool relayStandardOutputThroughDatagrams()
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_DGRAM, 0, ends) != 0)
        return false;
    return forkWithStandardOutput(ends, [](int output, pid_t program) {
        int status = 0;
        for (;;) {
            pollfd readable{output, POLLIN, 0};
            ::poll(&readable, 1, 10);
            relayMessages(output);
            if (::waitpid(program, &status, WNOHANG) == program)
                break;
        }
        relayMessages(output);
        return status;
    });
}

bool applyOption(const char *option)
{
    if (std::strcmp(option, "--nonblocking-stdin") == 0)
        return ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK) == 0;
    if (std::strcmp(option, "--private-nonblocking-stdin") == 0)
        return reopenStandardInputNonBlocking();
    if (std::strcmp(option, "--socket-stdin") == 0)
        return relayStandardInputThroughSocket(false);
    if (std::strcmp(option, "--tcp-stdin") == 0)
        return relayStandardInputThroughSocket(false, true);
    if (std::strcmp(option, "--udp-error-stdin") == 0)
        return relayStandardInputThroughUdp();
    if (std::strcmp(option, "--datagram-stdin") == 0)
        return relayStandardInputThroughDatagrams();
    if (std::strcmp(option, "--low-water-stdin") == 0)
        return setLowWaterMarkOnStandardInput();
    if (std::strcmp(option, "--datagram-stdout") == 0)
        return relayStandardOutputThroughDatagrams();
    if (std::strcmp(option, "--urgent-socket-stdin") == 0)
        return relayStandardInputThroughSocket(true);
    if (std::strcmp(option, "--packet-terminal-stdin") == 0)
        return relayStandardInputThroughPacketTerminal();
    if (std::strcmp(option, "--peeked-stdin") == 0)
        return peekAheadOnStandardInput();
    if (std::strcmp(option, "--broken-stdout") == 0)
        return breakStandardOutput();
    if (std::strcmp(option, "--nonblocking-stdout") == 0)
        return relayStandardOutputThroughFullPipe();
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
