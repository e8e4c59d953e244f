// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Encodings in Qt 6's terms and in Qt 5's.

#include "text_encoding.h"

#if QT_VERSION_MAJOR >= 6

TextEncoding qtLocaleEncoding()
{
    return QStringConverter::System;
}

TextEncoding utf8Encoding()
{
    return QStringConverter::Utf8;
}

// Qt 6 takes the locale's encoding to be UTF-8 on Unix, whatever the locale;
// the program writes in it nowhere else.
bool isUtf8(TextEncoding encoding)
{
    return encoding == QStringConverter::Utf8 || encoding == QStringConverter::System;
}

std::optional<TextEncoding> encodingNamed(const char *name)
{
    return QStringConverter::encodingForName(name);
}

void setEncoding(QTextStream &stream, TextEncoding encoding)
{
    stream.setEncoding(encoding);
}

void settleLocaleEncoding() {}

struct Utf8SliceDecoder::State
{
    QStringDecoder decoder{QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom};
};

QString Utf8SliceDecoder::decode(const char *data, qsizetype size)
{
    return m_state->decoder.decode(QByteArrayView(data, size));
}

#else

#include <QTextCodec>

namespace {
constexpr int utf8Mib = 106;
}

TextEncoding qtLocaleEncoding()
{
    return QTextCodec::codecForLocale();
}

TextEncoding utf8Encoding()
{
    return QTextCodec::codecForMib(utf8Mib);
}

bool isUtf8(TextEncoding encoding)
{
    return encoding->mibEnum() == utf8Mib;
}

std::optional<TextEncoding> encodingNamed(const char *name)
{
    QTextCodec *codec = QTextCodec::codecForName(name);
    return codec ? std::optional<TextEncoding>(codec) : std::nullopt;
}

void setEncoding(QTextStream &stream, TextEncoding encoding)
{
    stream.setCodec(encoding);
}

// SIMULATED_ERROR_LOCALE_ENCODING_FROM_C_LIBRARY comes from the build, which
// reads the features this Qt was built with.
void settleLocaleEncoding()
{
#ifdef SIMULATED_ERROR_LOCALE_ENCODING_FROM_C_LIBRARY
    QTextCodec::setCodecForLocale(QTextCodec::codecForMib(utf8Mib));
#endif
}

struct Utf8SliceDecoder::State
{
    QTextCodec::ConverterState state{QTextCodec::IgnoreHeader};
    const QTextCodec *utf8 = QTextCodec::codecForMib(utf8Mib);
};

QString Utf8SliceDecoder::decode(const char *data, qsizetype size)
{
    return m_state->utf8->toUnicode(data, int(size), &m_state->state);
}

#endif

Utf8SliceDecoder::Utf8SliceDecoder() : m_state(std::make_unique<State>()) {}

Utf8SliceDecoder::~Utf8SliceDecoder() = default;
