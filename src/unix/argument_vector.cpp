// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The argument vector as main received it.

#include "argument_vector.h"

ArgumentVector::ArgumentVector(int argc, char *argv[]) : m_elements(argv, argv + argc) {}
