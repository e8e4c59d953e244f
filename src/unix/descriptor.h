// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_DESCRIPTOR_H
#define SIMULATED_ERROR_DESCRIPTOR_H

// What every way of reading a descriptor needs.

#include <QtGlobal>

#include <array>
#include <cerrno>
#include <utility>

#include <sys/types.h>

// Makes a call again while a signal interrupts it; returns what it returned
// last.
template<typename Call>
auto retryOnInterrupt(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// A descriptor that the program opened for itself and closes when done.
class OwnedDescriptor
{
public:
    OwnedDescriptor() = default;
    explicit OwnedDescriptor(int fd) : m_fd(fd) {}
    OwnedDescriptor(OwnedDescriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    OwnedDescriptor &operator=(OwnedDescriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    OwnedDescriptor(const OwnedDescriptor &) = delete;
    OwnedDescriptor &operator=(const OwnedDescriptor &) = delete;
    ~OwnedDescriptor() { close(); }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void close();

private:
    int m_fd = -1;
};

// Receives and drops up to count bytes with calls of receive(data, size),
// none of which may wait; stops at the first call that brings nothing.
template<typename Receive>
void discard(qsizetype count, Receive receive)
{
    std::array<char, 16384> discarded;
    while (count > 0) {
        const size_t size = size_t(qMin<qsizetype>(count, qsizetype(discarded.size())));
        const ssize_t got = retryOnInterrupt([&] { return receive(discarded.data(), size); });
        if (got <= 0)
            return;
        count -= got;
    }
}

// How many bytes fd holds for reading, as FIONREAD tells; 0 where it does
// not tell.
qsizetype bytesQueued(int fd);

// Whether fd has input (or its end) to read now; does not wait.
bool hasInputNow(int fd);

// Opens /dev/null with flags, only where it is the null device: opening never
// waits (a FIFO bound over it would wait for its other side), and anything
// else in its place is closed again. -1 where it cannot be had.
int openNullDevice(int flags);

#endif
