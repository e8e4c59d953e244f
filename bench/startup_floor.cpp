// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The least Qt program that does what every run of simulated_error does:
// write the error line through a text stream on standard error.
#include <QTextStream>

#include <cstdio>

int main()
{
    QTextStream err(stderr);
    err << "this is a simulated error" << Qt::endl;
    return 10;
}
