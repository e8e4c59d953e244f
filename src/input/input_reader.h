// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_READER_H
#define SIMULATED_ERROR_INPUT_READER_H

#include <QtGlobal>

// One way of reading an input: the interface that every way of reading, on
// every system, is made behind.
//
// Most ways look at bytes without taking them, and take them after, so that
// exactly the bytes a caller used leave the input and the next reader of the
// same input starts on the byte after them. Some cannot look without taking
// (a plain read of a terminal): each says so, and brings at most one byte a
// look, so that a caller who must leave bytes behind can stop after any byte.
class InputReader
{
public:
    // What look returns where this way cannot be used on the input (a call
    // was refused). Nothing has left the input, so another way can take over.
    static constexpr qsizetype refused = -1;

    enum class Looking {
        leavesBytes, // the bytes stay in the input until take
        takesBytes, // the bytes have left the input once looked at; take does nothing
    };

    explicit InputReader(Looking looking) : m_looking(looking) {}
    InputReader(const InputReader &) = delete;
    InputReader &operator=(const InputReader &) = delete;
    virtual ~InputReader() = default;

    bool takesAsItLooks() const { return m_looking == Looking::takesBytes; }

    // Waits for input, without using CPU, and copies up to size bytes of it
    // to data. Returns their number: 0 at the end of the input or when it
    // fails, or refused.
    virtual qsizetype look(char *data, qsizetype size) = 0;

    // Takes the first count bytes of the last look out of the input; the
    // rest stay for the next look or the next reader. Never waits.
    virtual void take(qsizetype count) = 0;

private:
    const Looking m_looking;
};

// A way of reading that takes the bytes as it looks at them, one a look.
class TakingReader : public InputReader
{
public:
    TakingReader() : InputReader(Looking::takesBytes) {}
    void take(qsizetype) final {}
};

#endif
