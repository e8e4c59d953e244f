// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_BYTE_READER_H
#define SIMULATED_ERROR_BYTE_READER_H

#include "input/input_reader.h"

#include <windows.h>

// Reads one byte at a time, which takes it: a read cannot be looked into
// first. Exact on a pipe that cannot be looked into, a pipe of messages
// (read in part), a console that cannot be read as text, and anything else.
class ByteReader final : public TakingReader
{
public:
    // What a read that succeeds and brings nothing is: the end (a file, a
    // console, a pipe that a Linux parent made, under Wine), or an empty
    // message of a pipe of messages, which is skipped (the end of such a
    // pipe fails the read as broken).
    enum class EmptyRead { ends, skipped };

    ByteReader(HANDLE handle, EmptyRead emptyRead) : m_handle(handle), m_emptyRead(emptyRead) {}

    qsizetype look(char *data, qsizetype size) override;

private:
    HANDLE m_handle;
    EmptyRead m_emptyRead;
};

#endif
