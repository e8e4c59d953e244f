// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_CONSOLE_READER_H
#define SIMULATED_ERROR_CONSOLE_READER_H

#include "input/held_bytes.h"
#include "input/input_reader.h"

#include <windows.h>

// Reads a console as the text typed, whatever its code page: ReadConsoleW in
// the console's line mode hands over the line typed (and edited) as UTF-16,
// with its CR LF, which is held in UTF-8 and handed out in pieces. The
// console keeps what is typed after the line for the next reader. A line
// that begins with Ctrl-Z ends the input, as the C runtime takes it.
class ConsoleReader final : public InputReader
{
public:
    explicit ConsoleReader(HANDLE console) : InputReader(Looking::leavesBytes), m_console(console) {}

    // Refused where the console cannot be read as text.
    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override { m_line.take(count); }

private:
    qsizetype readLine();

    HANDLE m_console;
    HeldBytes m_line;
    wchar_t m_highSurrogate = 0; // the first half of a pair that a read split
    bool m_started = false; // a read has been made
    bool m_afterLineEnd = false; // the last read ended with a line feed
    bool m_ended = false;
};

#endif
