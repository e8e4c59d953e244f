// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_TEE_PIPE_READER_H
#define SIMULATED_ERROR_TEE_PIPE_READER_H

#include "descriptor.h"
#include "input/input_reader.h"

#include <memory>

// Looks into a pipe or FIFO with tee(2), which copies what the pipe holds
// into a private pipe without taking it, and then takes just the bytes the
// line used with splice(2): into /dev/null, or where /dev/null cannot be had,
// into the private pipe (empty between looks) and read out of it. A splice
// moves exactly the bytes asked for, where a read from a pipe that its writer
// fills with packets (O_DIRECT) would drop what it leaves of a packet.
class TeePipeReader final : public InputReader
{
public:
    // Nothing where no private pipe can be had.
    static std::unique_ptr<InputReader> create(int fd);

    // Refused where the pipe refuses to be looked into.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    TeePipeReader(int fd, int copyEnds[2]);
    qsizetype readCopy(char *data, qsizetype size);
    ssize_t spliceOut(int to, qsizetype count);
    void takeThroughCopy(qsizetype count);
    void takeByReading(qsizetype count);

    int m_fd;
    OwnedDescriptor m_copyReadEnd;
    OwnedDescriptor m_copyWriteEnd;
    OwnedDescriptor m_nullDevice;
};

#endif
