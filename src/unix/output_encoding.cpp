// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Output in the locale's encoding.

#include "output_encoding.h"

TextEncoding outputEncoding()
{
    return qtLocaleEncoding();
}
