// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Writing text to an output descriptor, whole and in UTF-8.

#include "line_output.h"

#include "write_whole.h"

#if QT_VERSION_MAJOR < 6
#include <QTextCodec>
#endif

namespace {

// A Qt 5 text stream encodes in the locale's encoding as Qt takes it: UTF-8
// under every locale where Qt has ICU, as distributions build it, but the
// locale's codeset where it has none (the release files' Qt, which would drop
// every non-ASCII character under the C locale), and the ANSI code page on
// Windows. Making UTF-8 the locale's encoding, before the first stream takes
// it, settles them all, and spares a Qt with ICU the asking. Qt 6 streams
// write UTF-8 whatever the locale.
OutputDescriptor &writingUtf8(OutputDescriptor &device)
{
#if QT_VERSION_MAJOR < 6
    // Streams are made on the main thread alone, so a plain flag is enough.
    static bool settled = false;
    if (!settled) {
        constexpr int utf8Mib = 106;
        QTextCodec::setCodecForLocale(QTextCodec::codecForMib(utf8Mib));
        settled = true;
    }
#endif
    return device;
}

} // namespace

OutputDescriptor::OutputDescriptor(int fd) : m_fd(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 OutputDescriptor::writeData(const char *data, qint64 size)
{
    return writeWhole(m_fd, data, qsizetype(size)) ? size : -1;
}

TextOutput::TextOutput(int fd) : m_device(fd), m_stream(&writingUtf8(m_device)) {}
