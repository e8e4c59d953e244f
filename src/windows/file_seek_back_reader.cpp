// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "file_seek_back_reader.h"

#include "handle.h"

qsizetype FileSeekBackReader::look(char *data, qsizetype size)
{
    DWORD got = 0;
    if (!readFile(m_file, data, size, &got))
        got = 0;
    m_looked = got;
    return got;
}

void FileSeekBackReader::take(qsizetype count)
{
    if (m_looked > count) {
        LARGE_INTEGER back;
        back.QuadPart = -LONGLONG(m_looked - count);
        ::SetFilePointerEx(m_file, back, nullptr, FILE_CURRENT);
    }
    m_looked = 0;
}
