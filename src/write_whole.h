// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_WRITE_WHOLE_H
#define SIMULATED_ERROR_WRITE_WHOLE_H

#include <QtGlobal>

// Writes size bytes to the C runtime's descriptor fd whole, each system's way
// (descriptor_write.cpp, handle_write.cpp): a write that takes only part is
// followed by one for the rest, an interrupted one is repeated, and output
// that says "try again" is waited on without using CPU until it takes more.
// Returns false when the output fails otherwise (full, closed, its reader
// gone with SIGPIPE ignored); the rest is then dropped.
bool writeWhole(int fd, const char *data, qsizetype size);

#endif
