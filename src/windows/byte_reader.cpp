// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a handle one byte at a time.

#include "byte_reader.h"

#include "handle.h"

// A pipe whose writers are gone reports a broken pipe; that and every other
// failure end the input. A read of one byte from a longer message takes that
// byte and says there is more (ERROR_MORE_DATA).
qsizetype ByteReader::look(char *data, qsizetype)
{
    for (;;) {
        DWORD got = 0;
        if (!readFile(m_handle, data, 1, &got) && ::GetLastError() != ERROR_MORE_DATA)
            return 0;
        if (got > 0 || m_emptyRead == EmptyRead::ends)
            return got;
    }
}
