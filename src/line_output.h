// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_LINE_OUTPUT_H
#define SIMULATED_ERROR_LINE_OUTPUT_H

#include "text_encoding.h"

// Writes size bytes of text given in well-formed UTF-8 to standard output in
// the encoding (the locale's, unless told), as a QTextStream on stdout would
// write the same text, and flushes it. No second whole copy of the text is
// made.
void writeToStandardOutput(const char *utf8Text, qsizetype size,
                           TextEncoding encoding = localeEncoding());

#endif
