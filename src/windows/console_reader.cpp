// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a console's typed line as UTF-16, held in UTF-8.

#include "console_reader.h"

#include <utility>

namespace {

// More than a console lets a line hold; a longer line comes in several reads.
constexpr DWORD unitsPerRead = 4096;

// What the C runtime takes for the end of a console's input at a line's start.
constexpr wchar_t endOfInputCharacter = 0x1A; // Ctrl-Z

bool isHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

qsizetype ConsoleReader::look(char *data, qsizetype size)
{
    if (m_line.isEmpty()) {
        const qsizetype read = readLine();
        if (read <= 0)
            return read;
    }
    return m_line.handOut(data, size);
}

// Reads what the console hands over, in its own mode: in line mode, as the
// console has it by default, the line once Enter is pressed, up to its CR LF.
// A pair of surrogates that the end of a read splits is kept whole for the
// next; a lone surrogate becomes U+FFFD. Returns the bytes now held, 0 at the
// end, or refused where the first read fails (the handle is no console after
// all), so that nothing has left the input.
qsizetype ConsoleReader::readLine()
{
    if (m_ended)
        return 0;
    wchar_t text[unitsPerRead + 1];
    DWORD length = 0;
    if (m_highSurrogate != 0)
        text[length++] = std::exchange(m_highSurrogate, 0);
    DWORD got = 0;
    const bool read = ::ReadConsoleW(m_console, text + length, unitsPerRead, &got, nullptr);
    const bool atLineStart = !m_started || m_afterLineEnd;
    const bool refusedAtOnce = !read && !m_started;
    m_started = true;
    if (!read || got == 0 || (atLineStart && length == 0 && text[0] == endOfInputCharacter)) {
        m_ended = true;
        return refusedAtOnce ? refused : 0;
    }
    length += got;
    m_afterLineEnd = text[length - 1] == L'\n';
    if (got == unitsPerRead && isHighSurrogate(text[length - 1]))
        m_highSurrogate = text[--length];
    const int room = int(3 * length);
    const int converted =
        ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), m_line.room(room), room, nullptr, nullptr);
    m_line.hold(qMax(converted, 0));
    m_ended = converted <= 0;
    return qMax(converted, 0);
}
