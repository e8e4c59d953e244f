// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Output in UTF-8, whatever the code page.

#include "output_encoding.h"

TextEncoding outputEncoding()
{
    return utf8Encoding();
}
