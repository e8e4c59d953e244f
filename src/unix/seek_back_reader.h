// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_SEEK_BACK_READER_H
#define SIMULATED_ERROR_SEEK_BACK_READER_H

#include "input/input_reader.h"

// Reads seekable input ahead and gives back what the line did not use by
// moving the position back.
class SeekBackReader : public InputReader
{
public:
    explicit SeekBackReader(int fd) : m_fd(fd) {}

    // Refused where the input refuses a read for its size or alignment
    // (EINVAL).
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    int m_fd;
    qsizetype m_looked = 0;
};

#endif
