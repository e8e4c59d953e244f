// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_REFERENCE_LINE_H
#define SIMULATED_ERROR_REFERENCE_LINE_H

#include <QByteArray>
#include <QString>

// The collection rules in their plainest form, to check the piecewise
// collector against: take the input line by line; each line up to its first
// NUL (all of it when it has none) is decoded on its own; stop after the
// first line whose line feed survived, or when the input ends.
inline QString referenceLine(const QByteArray &input)
{
    QString line;
    int start = 0;
    while (start < input.size()) {
        const int lineFeed = input.indexOf('\n', start);
        const int end = lineFeed < 0 ? input.size() : lineFeed + 1;
        QByteArray chunk = input.mid(start, end - start);
        const int nul = chunk.indexOf('\0');
        if (nul >= 0)
            chunk.truncate(nul);
        line += QString::fromUtf8(chunk.constData(), chunk.size());
        if (chunk.endsWith('\n'))
            break;
        start = end;
    }
    return line;
}

// How many bytes the rules take in: through the line feed that ends the line.
inline int referenceConsumed(const QByteArray &input)
{
    int start = 0;
    while (start < input.size()) {
        const int lineFeed = input.indexOf('\n', start);
        if (lineFeed < 0)
            return input.size();
        const int nul = input.indexOf('\0', start);
        if (nul < 0 || nul > lineFeed)
            return lineFeed + 1;
        start = lineFeed + 1;
    }
    return input.size();
}

#endif
