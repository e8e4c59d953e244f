// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_WELL_FORMED_UTF8_H
#define SIMULATED_ERROR_WELL_FORMED_UTF8_H

#include <QtGlobal>

// U+FFFD in UTF-8: what each byte outside any well-formed sequence becomes.
constexpr char replacementCharacter[] = "\xEF\xBF\xBD";
constexpr qsizetype replacementCharacterSize = 3;

// The end of the well-formed UTF-8 that starts at begin: the first byte that
// does not start a whole well-formed sequence before end. Such a byte is a
// stray continuation byte, an impossible lead byte, or the start of an
// overlong form, a surrogate, a value past U+10FFFF or a sequence cut short.
const uchar *endOfWellFormedUtf8(const uchar *begin, const uchar *end);

// How many of the size bytes at data decode now to the same text that they
// give together with whatever follows them: all but at most the last three,
// which may begin a sequence that the following bytes complete.
qsizetype decodableNow(const uchar *data, qsizetype size);

#endif
