// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_LINE_OUTPUT_H
#define SIMULATED_ERROR_LINE_OUTPUT_H

#include "output_encoding.h"

#include <QIODevice>

// An output descriptor as a write-only, unbuffered device for a QTextStream:
// what the stream flushes is written whole, with one write where the
// descriptor takes it all, and nothing is held back in between.
class OutputDescriptor : public QIODevice
{
public:
    explicit OutputDescriptor(int fd);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_fd;
};

// Writes size bytes of text given in well-formed UTF-8 to standard output in
// the encoding (the output's, unless told), as a QTextStream on stdout would
// write the same text, and flushes it. No second whole copy of the text is
// made.
void writeToStandardOutput(const char *utf8Text, qsizetype size,
                           TextEncoding encoding = outputEncoding());

#endif
