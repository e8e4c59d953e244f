// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_ARGUMENT_VECTOR_H
#define SIMULATED_ERROR_ARGUMENT_VECTOR_H

#include <cstddef>
#include <vector>

// The argument vector as the caller gave it, each element as bytes, made by
// each system from what main received (argument_vector.cpp): on POSIX
// systems main's own elements; on Windows, where the command line is UTF-16
// and main's elements are in the ANSI code page, the UTF-8 bytes of each
// element of the command line, so that the same text gives the same bytes
// on both. The elements live as long as the process, as main's do.
class ArgumentVector
{
public:
    ArgumentVector(int argc, char *argv[]);

    int count() const { return int(m_elements.size()); }
    const char *at(int i) const { return m_elements[std::size_t(i)]; }

private:
    std::vector<const char *> m_elements;
};

#endif
