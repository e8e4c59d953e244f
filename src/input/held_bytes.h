// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_HELD_BYTES_H
#define SIMULATED_ERROR_HELD_BYTES_H

#include <QtGlobal>

#include <cstring>
#include <vector>

// A message or record that had to be received whole, handed out in pieces:
// what is handed out and not taken is handed out again by the next look.
class HeldBytes
{
public:
    // Room for size bytes to be received into, asked for once all that was
    // held has been taken.
    char *room(qsizetype size)
    {
        m_bytes.resize(size_t(size));
        return m_bytes.data();
    }
    qsizetype roomSize() const { return qsizetype(m_bytes.size()); }

    // Holds the first size bytes of the room.
    void hold(qsizetype size)
    {
        m_at = 0;
        m_end = size;
    }
    bool isEmpty() const { return m_at >= m_end; }

    qsizetype handOut(char *data, qsizetype size) const
    {
        const qsizetype count = qMin(size, m_end - m_at);
        std::memcpy(data, m_bytes.data() + m_at, size_t(count));
        return count;
    }
    void take(qsizetype count) { m_at += count; }

private:
    std::vector<char> m_bytes;
    qsizetype m_at = 0;
    qsizetype m_end = 0;
};

#endif
