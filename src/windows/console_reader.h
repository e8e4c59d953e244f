// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_CONSOLE_READER_H
#define SIMULATED_ERROR_CONSOLE_READER_H

#include "input/held_bytes.h"
#include "input/input_reader.h"

#include <windows.h>

// Reads a console as the text typed, whatever its code page: ReadConsoleW
// hands over UTF-16, in the console's own mode (in line mode, as a console
// is by default, once Enter ends the line, with its editing done and its CR
// LF), which is held in UTF-8 and handed out. It is read one character at a
// time: a read takes what it hands over out of the console, and what the
// console holds after the line (the rest of a line edited with Ctrl-J in it,
// what was typed ahead in raw mode) stays for the next reader. A line that
// begins with Ctrl-Z ends the input, as the C runtime takes it.
class ConsoleReader final : public InputReader
{
public:
    explicit ConsoleReader(HANDLE console) : InputReader(Looking::leavesBytes), m_console(console) {}

    // Refused where the console cannot be read as text.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override { m_character.take(count); }

private:
    qsizetype readCharacter();
    bool readUnit(wchar_t *unit);

    HANDLE m_console;
    HeldBytes m_character;
    wchar_t m_nextUnit = 0; // read after a high surrogate that it does not complete
    bool m_started = false; // a read has been made
    bool m_atLineStart = true;
    bool m_ended = false;
};

#endif
