// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_LINE_OUTPUT_H
#define SIMULATED_ERROR_LINE_OUTPUT_H

#include <QIODevice>
#include <QTextStream>

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

// A text stream on an output descriptor that writes UTF-8, without a
// byte-order mark, under every locale and in a root without locales: every
// build, Qt 5 or 6, Linux or Windows, writes the same bytes. Argument bytes
// go to it as QLatin1String, each one Latin-1 character to Qt 5 and Qt 6
// alike (a plain const char * is Latin-1 to Qt 5, UTF-8 to Qt 6).
class TextOutput
{
public:
    explicit TextOutput(int fd);
    QTextStream &stream() { return m_stream; }

private:
    OutputDescriptor m_device;
    QTextStream m_stream;
};

#endif
