// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Reading a console's typed text as UTF-16, one character at a time.

#include "console_reader.h"

#include <QChar>

#include <utility>

namespace {

// What the C runtime takes for the end of a console's input at a line's start.
constexpr wchar_t endOfInputCharacter = 0x1A; // Ctrl-Z

} // namespace

qsizetype ConsoleReader::look(char *data, qsizetype size)
{
    if (m_character.isEmpty()) {
        const qsizetype read = readCharacter();
        if (read <= 0)
            return read;
    }
    return m_character.handOut(data, size);
}

// One read of one UTF-16 unit, or the unit read ahead last time.
bool ConsoleReader::readUnit(wchar_t *unit)
{
    if (m_nextUnit != 0) {
        *unit = std::exchange(m_nextUnit, 0);
        return true;
    }
    DWORD got = 0;
    const bool read = ::ReadConsoleW(m_console, unit, 1, &got, nullptr) && got == 1;
    m_started = true;
    return read;
}

// The next character, held in UTF-8: a pair of surrogates is read whole, and
// a lone surrogate becomes U+FFFD (the unit after a lone high one is kept for
// the next character). Returns the bytes held, 0 at the end, or refused where
// the first read fails (the handle is no console after all), so that nothing
// has left the input.
qsizetype ConsoleReader::readCharacter()
{
    const bool first = !m_started;
    wchar_t units[2];
    if (m_ended || !readUnit(&units[0])) {
        const bool refusedAtOnce = first && !m_ended;
        m_ended = true;
        return refusedAtOnce ? refused : 0;
    }
    if (m_atLineStart && units[0] == endOfInputCharacter) {
        m_ended = true;
        return 0;
    }
    int length = 1;
    if (QChar::isHighSurrogate(units[0]) && readUnit(&units[1])) {
        if (QChar::isLowSurrogate(units[1]))
            length = 2;
        else
            m_nextUnit = units[1];
    }
    m_atLineStart = units[0] == L'\n';
    constexpr int room = 4;
    const int converted =
        ::WideCharToMultiByte(CP_UTF8, 0, units, length, m_character.room(room), room, nullptr, nullptr);
    m_character.hold(qMax(converted, 0));
    m_ended = converted <= 0;
    return qMax(converted, 0);
}
