// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_DESCRIPTOR_H
#define SIMULATED_ERROR_DESCRIPTOR_H

// What the ways of reading and writing a descriptor share.

#include <QtGlobal>

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

// A socket's option at the SOL_SOCKET level; -1 where it does not tell.
int socketOption(int fd, int option);

// How many bytes fd holds for reading, as FIONREAD tells; 0 where it does
// not tell.
qsizetype bytesQueued(int fd);

// Opens /dev/null with flags, only where it is the null device: opening never
// waits (a FIFO bound over it would wait for its other side), and anything
// else in its place is closed again. -1 where it cannot be had.
int openNullDevice(int flags);

#endif
