#pragma once

#include <QByteArray>
#include <QStringConverter>

#include <optional>

class QTextCodec;

namespace vondrel {

// Text codecs are chosen by name in the form; CSV text is read and written with the
// toolkit's string converters. These functions translate one into the other.

// The encoding for a codec name: "System" is the locale's encoding, every name the
// converters know maps to its encoding, any other name falls back to UTF-8.
QStringConverter::Encoding encodingForCodecName(const QByteArray &name);

// The encoding for a codec, or none without one (the stream's default then applies).
std::optional<QStringConverter::Encoding> encodingForCodec(const QTextCodec *codec);

} // namespace vondrel
