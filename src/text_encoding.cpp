// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "text_encoding.h"

#if QT_VERSION_MAJOR >= 6

TextEncoding localeEncoding()
{
#ifdef Q_OS_WIN
    return QStringConverter::Utf8;
#else
    return QStringConverter::System;
#endif
}

// Qt 6 takes the locale's encoding to be UTF-8 on Unix, whatever the locale.
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

void useLocaleEncoding(QTextStream &stream)
{
    stream.setEncoding(localeEncoding());
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

TextEncoding localeEncoding()
{
#ifdef Q_OS_WIN
    return QTextCodec::codecForMib(utf8Mib);
#else
    return QTextCodec::codecForLocale();
#endif
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

void useLocaleEncoding([[maybe_unused]] QTextStream &stream)
{
    // A Qt 5 text stream starts out with the locale's codec.
#ifdef Q_OS_WIN
    stream.setCodec(localeEncoding());
#endif
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
