// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The line's buffer: pages that grow by doubling, in huge pages once large.

#include "line_buffer.h"

#include "io_sizes.h"
#include "page_memory.h"

#include <new>
#include <utility>

// The compiler's sanitizer header marks memory for AddressSanitizer; without
// it (MinGW-w64) there is nothing to mark.
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr qsizetype smallestCapacity = 16 * pageSize;
constexpr qsizetype hugePageSize = 2 * 1024 * 1024;
// Only a buffer this large asks for huge pages: the first touch of one
// clears 2 MiB, which would cost a short line more than it saves.
constexpr qsizetype hugePagesFrom = 2 * hugePageSize;

} // namespace

LineBuffer::LineBuffer(LineBuffer &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0))
{
}

LineBuffer::~LineBuffer()
{
    if (!m_data)
        return;
    ASAN_UNPOISON_MEMORY_REGION(m_data, m_capacity);
    unmapPages(m_data, m_capacity);
}

char *LineBuffer::endWithRoom(qsizetype room)
{
    if (m_capacity - m_size < room)
        grow(m_size + room);
    // Under AddressSanitizer, a write past the room asked for is caught even
    // though the mapping goes on.
    ASAN_UNPOISON_MEMORY_REGION(m_data, m_size + room);
    ASAN_POISON_MEMORY_REGION(m_data + m_size + room, m_capacity - m_size - room);
    return m_data + m_size;
}

// Doubles the capacity (or takes just what is needed when doubling finds no
// memory); large capacities are whole huge pages.
void LineBuffer::grow(qsizetype needed)
{
    const auto roundUp = [](qsizetype size) {
        return size < hugePagesFrom ? size : (size + hugePageSize - 1) / hugePageSize * hugePageSize;
    };
    ASAN_UNPOISON_MEMORY_REGION(m_data, m_capacity);
    void *grown = nullptr;
    qsizetype capacity = 0;
    for (qsizetype wanted : {qMax(needed, qMax(smallestCapacity, 2 * m_capacity)), needed}) {
        capacity = roundUp(wanted);
        grown = m_data ? growPages(m_data, m_capacity, capacity) : mapPages(capacity);
        if (grown)
            break;
    }
    if (!grown)
        throw std::bad_alloc();
    m_data = static_cast<char *>(grown);
    m_capacity = capacity;
    if (m_capacity >= hugePagesFrom)
        adviseHugePages(m_data, m_capacity);
}
