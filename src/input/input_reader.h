// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_READER_H
#define SIMULATED_ERROR_INPUT_READER_H

#include <QtGlobal>

// One way of reading an input. Bytes are looked at first and taken after, so
// that exactly the bytes a reader used leave the input and the next reader
// of the same input starts on the byte after them.
class InputReader
{
public:
    // What look returns where this way cannot be used on the input (a call
    // was refused). Nothing has left the input, so another way can take over.
    static constexpr qsizetype refused = -1;

    InputReader() = default;
    InputReader(const InputReader &) = delete;
    InputReader &operator=(const InputReader &) = delete;
    virtual ~InputReader() = default;

    // Waits for input, without using CPU, and copies up to size bytes of it
    // to data. Returns their number: 0 at the end of the input or when it
    // fails, or refused. A way that cannot look without taking brings one
    // byte at a time, which a reader of lines always uses.
    virtual qsizetype look(char *data, qsizetype size) = 0;

    // Takes the first count bytes of the last look out of the input; the
    // rest stay for the next look or the next reader. Never waits.
    virtual void take(qsizetype count) = 0;
};

#endif
