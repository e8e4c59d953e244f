// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading whole records of a device, or of input that brings several a read.

#include "record_reader.h"

#include "descriptor_wait.h"
#include "io_sizes.h"

#include <unistd.h>

namespace {

// Input that refuses every read up to this size is taken as failing.
constexpr qsizetype largestRecordSize = 1024 * 1024;

} // namespace

qsizetype RecordReader::look(char *data, qsizetype size)
{
    if (m_record.isEmpty() && !readRecord())
        return 0;
    return m_record.handOut(data, size);
}

bool RecordReader::readRecord()
{
    qsizetype size = m_firstRead == FirstRead::large ? qMax(m_record.roomSize(), pipeCapacity) : 1;
    for (; size <= largestRecordSize; size = nextReadSize(size)) {
        char *const room = m_record.room(size);
        const ssize_t got = callWaiting(m_fd, DescriptorWait::Direction::reading,
                                        [this, room, size] { return ::read(m_fd, room, size_t(size)); });
        if (got > 0) {
            m_record.hold(got);
            return true;
        }
        if (got == 0 || errno != EINVAL)
            return false;
    }
    return false;
}

qsizetype RecordReader::nextReadSize(qsizetype refusedSize) const
{
    if (m_firstRead == FirstRead::smallest && refusedSize < pageSize)
        return refusedSize + 1;
    return 2 * refusedSize;
}
