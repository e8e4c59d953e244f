// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a handle one byte at a time.

#include "byte_reader.h"

#include "growing_sleep.h"
#include "handle.h"

// A pipe whose writers are gone reports a broken pipe; that and every other
// failure end the input. A read of one byte from a longer message takes that
// byte and says there is more (ERROR_MORE_DATA). A pipe in non-blocking mode
// (PIPE_NOWAIT) that has nothing yet says so (ERROR_NO_DATA), of either read
// mode; Windows tells no waiter when it has, so the read is made again after
// a sleep.
qsizetype ByteReader::look(char *data, qsizetype)
{
    for (GrowingSleep sleep;;) {
        DWORD got = 0;
        if (!readFile(m_handle, data, 1, &got)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_NO_DATA) {
                sleep.sleep();
                continue;
            }
            if (error != ERROR_MORE_DATA)
                return 0;
        }
        if (got > 0 || m_emptyRead == EmptyRead::ends)
            return got;
    }
}
