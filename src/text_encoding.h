// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_TEXT_ENCODING_H
#define SIMULATED_ERROR_TEXT_ENCODING_H

// What Qt 5 and Qt 6 do differently with encodings, and nothing else: the
// rest of the program is the same for both.
//
// - A Qt 5 text stream encodes with QTextCodec::codecForLocale() by default;
//   Qt 6 dropped QTextCodec from its core module, its text streams encode in
//   UTF-8 unless told otherwise, and its encoding of the locale,
//   QStringConverter::System, is UTF-8 on Unix.
// - Argument bytes are each read as one Latin-1 character. Both versions read
//   a QLatin1String that way; a plain const char * is Latin-1 to Qt 5 but
//   UTF-8 to Qt 6, so arguments always go to a stream as QLatin1String.

#include <QString>
#include <QTextStream>

#include <memory>
#include <optional>

#if QT_VERSION_MAJOR >= 6
#include <QStringConverter>
using TextEncoding = QStringConverter::Encoding;
#else
class QTextCodec;
using TextEncoding = QTextCodec *;
#endif

// The locale's encoding, as this Qt takes it.
TextEncoding qtLocaleEncoding();

TextEncoding utf8Encoding();

// Whether text in the encoding is written as its UTF-8 bytes.
bool isUtf8(TextEncoding encoding);

// The encoding this Qt knows by the name, if it knows one.
std::optional<TextEncoding> encodingNamed(const char *name);

// Makes the stream write in the encoding, without a byte-order mark.
void setEncoding(QTextStream &stream, TextEncoding encoding);

// Settles the locale's encoding as UTF-8 where this Qt would ask the C
// library for it, as a Qt 5 built without ICU does on POSIX systems (the
// Qt of the self-contained release files): it would call setlocale() and
// encode in the codeset the locale names, so that under the C locale, a
// Latin-1 one, one that is not installed or in a root without locales every
// non-ASCII character would be dropped or replaced, with a complaint on
// standard error where no converter is found. A Qt 5 with ICU, as
// distributions build it, and Qt 6 on POSIX systems take the locale's
// encoding to be UTF-8 under every locale; with this, every build writes the
// same bytes. Call it before the first text stream is made, which takes the
// locale's encoding then.
void settleLocaleEncoding();

// Decodes UTF-8 that comes in slices: a sequence split between two slices is
// completed with the next one, and a byte-order mark stays text.
class Utf8SliceDecoder
{
public:
    Utf8SliceDecoder();
    ~Utf8SliceDecoder();
    QString decode(const char *data, qsizetype size);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

#endif
