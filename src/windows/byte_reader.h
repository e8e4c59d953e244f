// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_BYTE_READER_H
#define SIMULATED_ERROR_BYTE_READER_H

#include "input/input_reader.h"

#include <windows.h>

// Reads one byte at a time. A read cannot be looked into first, but a reader
// of lines uses every byte up to its line feed, so a read of one byte never
// takes a byte that the line does not use: exact on a console (what is typed
// after the line stays in its buffer), a pipe that cannot be looked into, and
// anything else.
class ByteReader : public InputReader
{
public:
    // What a read that succeeds and brings nothing is: the end (a file, a
    // console, a pipe that a Linux parent made, under Wine), or an empty
    // message of a pipe of messages, which is skipped (the end of such a
    // pipe fails the read as broken).
    enum class EmptyRead { ends, skipped };

    ByteReader(HANDLE handle, EmptyRead emptyRead) : m_handle(handle), m_emptyRead(emptyRead) {}

    qsizetype look(char *data, qsizetype size) override;
    // The byte left the input when it was read.
    void take(qsizetype) override {}

private:
    HANDLE m_handle;
    EmptyRead m_emptyRead;
};

#endif
