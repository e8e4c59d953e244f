// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_BYTE_READER_H
#define SIMULATED_ERROR_BYTE_READER_H

#include "input/input_reader.h"

// Reads one byte at a time, which takes it: a read cannot be looked into
// first. Exact on any input that hands over its bytes one by one, a terminal
// of every kind and in every mode, and a pipe or a stream socket that cannot
// be looked into.
class ByteReader final : public TakingReader
{
public:
    explicit ByteReader(int fd) : m_fd(fd) {}

    // Refused where the input refuses a read of one byte (EINVAL): it hands
    // over records.
    qsizetype look(char *data, qsizetype size) override;

private:
    int m_fd;
};

#endif
