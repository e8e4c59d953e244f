// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_FILE_SEEK_BACK_READER_H
#define SIMULATED_ERROR_FILE_SEEK_BACK_READER_H

#include "input/input_reader.h"

#include <windows.h>

// Reads a file ahead and gives back what the line did not use by setting its
// pointer back.
class FileSeekBackReader : public InputReader
{
public:
    explicit FileSeekBackReader(HANDLE file) : m_file(file) {}

    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override;

private:
    HANDLE m_file;
    qsizetype m_looked = 0;
};

#endif
