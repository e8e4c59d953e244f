// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Looking into a pipe with tee, and then splicing away what was used.

#include "tee_pipe_reader.h"

#include "descriptor_wait.h"
#include "input/discard.h"

#include <fcntl.h>
#include <unistd.h>

std::unique_ptr<InputReader> TeePipeReader::create(int fd)
{
    int copyEnds[2];
    if (::pipe2(copyEnds, O_CLOEXEC) != 0)
        return nullptr;
    return std::unique_ptr<InputReader>(new TeePipeReader(fd, copyEnds));
}

TeePipeReader::TeePipeReader(int fd, int copyEnds[2])
    : InputReader(Looking::leavesBytes),
      m_fd(fd),
      m_copyReadEnd(copyEnds[0]),
      m_copyWriteEnd(copyEnds[1]),
      m_nullDevice(openNullDevice(O_WRONLY | O_CLOEXEC))
{
}

// tee waits while the pipe is empty and returns 0 once it is empty and has no
// writer left. The private pipe is empty before each look, so it never waits
// for room there.
qsizetype TeePipeReader::look(char *data, qsizetype size)
{
    const ssize_t copied = callWaiting(m_fd, DescriptorWait::Direction::reading, [this, size] {
        return ::tee(m_fd, m_copyWriteEnd.get(), size_t(size), 0);
    });
    if (copied >= 0)
        return readCopy(data, copied);
    // A non-blocking pipe that says "try again" after its end was seen ends.
    return errno == EAGAIN ? 0 : refused;
}

qsizetype TeePipeReader::readCopy(char *data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = retryOnInterrupt(
            [&] { return ::read(m_copyReadEnd.get(), data + done, size_t(size - done)); });
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

// The bytes were in the pipe when they were looked at; if another reader has
// taken them since, nothing is waited for.
void TeePipeReader::take(qsizetype count)
{
    while (count > 0 && m_nullDevice.isOpen()) {
        const ssize_t moved = spliceOut(m_nullDevice.get(), count);
        if (moved > 0)
            count -= moved;
        else if (moved == 0 || errno == EAGAIN)
            return;
        else
            m_nullDevice.close();
    }
    takeThroughCopy(count);
}

// One splice out of the pipe, which does not wait.
ssize_t TeePipeReader::spliceOut(int to, qsizetype count)
{
    return retryOnInterrupt(
        [&] { return ::splice(m_fd, nullptr, to, nullptr, size_t(count), SPLICE_F_NONBLOCK); });
}

// The private pipe is emptied after each splice, so each one finds it empty.
void TeePipeReader::takeThroughCopy(qsizetype count)
{
    while (count > 0) {
        const ssize_t moved = spliceOut(m_copyWriteEnd.get(), count);
        if (moved > 0) {
            count -= moved;
            discard(moved, [this](char *data, qsizetype size) {
                return retryOnInterrupt([&] { return ::read(m_copyReadEnd.get(), data, size_t(size)); });
            });
        } else if (moved == 0 || errno == EAGAIN) {
            return;
        } else {
            takeByReading(count);
            return;
        }
    }
}

// Where the bytes looked at cannot be spliced away, they are read: no more
// than the pipe holds, so that a read cannot wait (a read of none returns 0).
void TeePipeReader::takeByReading(qsizetype count)
{
    discard(count, [this](char *data, qsizetype size) {
        const size_t held = size_t(qMin(size, bytesQueued(m_fd)));
        return retryOnInterrupt([&] { return ::read(m_fd, data, held); });
    });
}
