// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_ALIGNED_FILE_READER_H
#define SIMULATED_ERROR_ALIGNED_FILE_READER_H

#include "input/input_reader.h"

#include <cstdlib>
#include <memory>

// Reads a file opened with O_DIRECT, which takes only reads whose buffer,
// position and size are aligned to the device's logical block size: the
// aligned blocks around the piece are read at the position without moving
// it, and taking moves it past the bytes used, as reading them would.
class AlignedFileReader final : public InputReader
{
public:
    explicit AlignedFileReader(int fd);

    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    bool makeRoom(qsizetype size);

    int m_fd;
    std::unique_ptr<char, decltype(&std::free)> m_blocks{nullptr, &std::free};
    qsizetype m_blocksSize = 0;
    qsizetype m_alignment;
};

#endif
