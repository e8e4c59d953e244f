// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "argument_vector.h"

ArgumentVector::ArgumentVector(int argc, char *argv[]) : m_elements(argv, argv + argc) {}
