// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_OUTPUT_ENCODING_H
#define SIMULATED_ERROR_OUTPUT_ENCODING_H

#include "text_encoding.h"

// The encoding output text is written in, each system's choice
// (output_encoding.cpp): on POSIX systems the locale's, as Qt takes it; on
// Windows UTF-8, since the locale's there is the ANSI code page, and callers
// compare the bytes on pipes and in files with those the program writes
// elsewhere.
TextEncoding outputEncoding();

// Makes the stream write in that encoding.
inline void useOutputEncoding(QTextStream &stream)
{
    setEncoding(stream, outputEncoding());
}

#endif
