// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_LINE_BUFFER_H
#define SIMULATED_ERROR_LINE_BUFFER_H

#include <QtGlobal>

// Bytes held in pages straight from the system, with no limit of its own on
// their number. It grows without copying where the system can move pages
// (Linux's mremap), and once large it asks for huge pages where they are
// offered, so that a long line costs few page faults. Throws std::bad_alloc
// when memory runs out.
class LineBuffer
{
public:
    LineBuffer() = default;
    LineBuffer(LineBuffer &&other) noexcept;
    LineBuffer &operator=(LineBuffer &&) = delete; // a line is handed on, never replaced
    LineBuffer(const LineBuffer &) = delete;
    LineBuffer &operator=(const LineBuffer &) = delete;
    ~LineBuffer();

    const char *data() const { return m_data; }
    qsizetype size() const { return m_size; }
    char *end() { return m_data + m_size; }

    // Makes sure that at least room bytes after the end may be written and
    // then taken in with resize, and returns the end. Bytes written there
    // survive a later call; pointers into the buffer do not.
    char *endWithRoom(qsizetype room);
    void resize(qsizetype size) { m_size = size; }

private:
    void grow(qsizetype needed);

    char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

#endif
