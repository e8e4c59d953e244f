// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The choice of a way to read an input, made once for every system: the
// system says which ways suit the input and makes their readers.

#include "chosen_reader.h"

namespace {

// Input that nothing can come from (a descriptor that is not open, a socket
// that only listens for connections, an input that refused every way): it
// ends at once, without waiting.
class EndedInput final : public TakingReader
{
public:
    qsizetype look(char *, qsizetype) override { return 0; }
};

} // namespace

ChosenReader::ChosenReader(int fd) : m_fd(fd), m_ways(readingWaysFor(fd))
{
    readWithNextWay();
}

qsizetype ChosenReader::look(char *data, qsizetype size)
{
    for (;;) {
        const qsizetype got = m_reader->look(data, size);
        if (got != InputReader::refused)
            return got;
        readWithNextWay();
    }
}

// A way that cannot be had gives way to the next, as a refused one does.
void ChosenReader::readWithNextWay()
{
    m_reader.reset();
    while (!m_reader && m_next != m_ways.count)
        m_reader = makeReader(m_ways.ways[size_t(m_next++)], m_fd);
    if (!m_reader)
        m_reader = std::make_unique<EndedInput>();
}
