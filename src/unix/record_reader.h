// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_RECORD_READER_H
#define SIMULATED_ERROR_RECORD_READER_H

#include "input/held_bytes.h"
#include "input/input_reader.h"

// Reads input that hands over whole records and refuses a read too small for
// the next one. Pieces are handed out from the record held: what the record
// holding the line feed holds after it is lost, since no record can be read
// in part.
class RecordReader final : public InputReader
{
public:
    // How large the first read for a record is:
    // - large, for a record device (/dev/kmsg, an event device): some drop
    //   the record a read was refused for, and each read brings one record;
    // - smallest, for input that brings as many whole records as a read has
    //   room for and drops nothing it refused (inotify, signalfd, eventfd):
    //   the size grows a byte at a time, so that the first read taken holds
    //   just one record and the next reader gets the others.
    // Sizes double while reads are refused, from a page on.
    enum class FirstRead { large, smallest };

    RecordReader(int fd, FirstRead firstRead)
        : InputReader(Looking::leavesBytes), m_fd(fd), m_firstRead(firstRead)
    {
    }

    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override { m_record.take(count); }

private:
    bool readRecord();
    qsizetype nextReadSize(qsizetype refusedSize) const;

    int m_fd;
    FirstRead m_firstRead;
    HeldBytes m_record;
};

#endif
