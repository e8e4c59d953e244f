// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "byte_reader.h"

// A pipe whose writers are gone reports a broken pipe; that, every other
// failure and a read of nothing end the input.
qsizetype ByteReader::look(char *data, qsizetype)
{
    DWORD got = 0;
    return ::ReadFile(m_handle, data, 1, &got, nullptr) ? got : 0;
}
