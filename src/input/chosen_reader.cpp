// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The choice of a way to read an input, made once for every system: the
// system's table says what suits the input and what follows a refusal.

#include "chosen_reader.h"

#include "ended_input.h"

ChosenReader::ChosenReader(int fd) : InputReader(Looking::leavesBytes), m_table(readingTableFor(fd))
{
    readWith(m_table->suitedWay());
}

qsizetype ChosenReader::look(char *data, qsizetype size)
{
    for (;;) {
        const qsizetype got = m_reader->look(data, size);
        if (got != refused)
            return got;
        readWith(wayAfter(m_way));
    }
}

// A way named to take over from itself would be tried forever; the input
// ends instead.
ReadingWay ChosenReader::wayAfter(ReadingWay refused) const
{
    const ReadingWay next = m_table->wayAfterRefusal(refused);
    return next == refused ? ReadingWay::none : next;
}

// A way that cannot be had gives way to the next, as a refused one does.
void ChosenReader::readWith(ReadingWay way)
{
    m_reader.reset();
    while (way != ReadingWay::none && !(m_reader = m_table->makeReader(way)))
        way = wayAfter(way);
    m_way = way;
    if (!m_reader)
        m_reader = std::make_unique<EndedInput>();
    setLooking(m_reader->takesAsItLooks() ? Looking::takesBytes : Looking::leavesBytes);
}
