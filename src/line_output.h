// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_LINE_OUTPUT_H
#define SIMULATED_ERROR_LINE_OUTPUT_H

#include "text_encoding.h"

#include <QIODevice>

// Writes size bytes to fd whole: a write that takes only part is followed by
// one for the rest, an interrupted one is repeated, and a non-blocking
// descriptor that says "try again" is waited on without using CPU until it
// takes more. Returns false when the descriptor fails otherwise (full,
// closed, its reader gone with SIGPIPE ignored); the rest is then dropped.
bool writeWhole(int fd, const char *data, qsizetype size);

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
// the encoding (the locale's, unless told), as a QTextStream on stdout would
// write the same text, and flushes it. No second whole copy of the text is
// made.
void writeToStandardOutput(const char *utf8Text, qsizetype size,
                           TextEncoding encoding = localeEncoding());

#endif
