// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_RECORD_READER_H
#define SIMULATED_ERROR_RECORD_READER_H

#include "input/held_bytes.h"
#include "input/input_reader.h"

// Reads input that hands over a whole record per read and refuses a read too
// small for the next record (a log device such as /dev/kmsg, an event
// device); some drop the record they refused, so the first read is already
// large, and the size doubles while reads are refused. Pieces are handed out
// from the record held: what the record holding the line feed holds after it
// is lost, since no record can be read in part.
class RecordReader : public InputReader
{
public:
    explicit RecordReader(int fd) : m_fd(fd) {}

    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override { m_record.take(count); }

private:
    bool readRecord();

    int m_fd;
    HeldBytes m_record;
};

#endif
