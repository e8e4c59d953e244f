// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_INPUT_LINE_H
#define SIMULATED_ERROR_INPUT_LINE_H

#include "line_buffer.h"

// Reads standard input up to and including its first line feed and returns
// that line as text in UTF-8: the text QString::fromUtf8 decodes from it, so
// well-formed UTF-8 comes back as it was, each byte that is not part of a
// well-formed sequence becomes U+FFFD and a leading byte-order mark is
// dropped. A line that holds a NUL byte loses everything from the NUL through
// its line feed, and the next line is joined on (decoded on its own).
// Blocks (without using CPU) while the input is open and has no complete line;
// returns what it has when the input ends or fails before a line feed.
// Takes exactly the bytes of the line out of the input (see ChosenReader), so
// that the next reader of the same input starts on the byte after them; from
// input that hands over messages or records, the rest of the one that holds
// the line feed is lost.
LineBuffer collectInputLine();

// The same on any descriptor, looking at pieces of at most maxPieceSize bytes.
LineBuffer collectInputLine(int fd, qsizetype maxPieceSize);

#endif
