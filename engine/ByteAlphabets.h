#pragma once

#include <QByteArrayView>
#include <QString>

// Turning key-stream bytes and numbers into the characters of a pseudonym.
// Bytes are read as unsigned values; the byte string is reused cyclically.

// n lower-case letters "a" + byte mod 26; empty when n <= 0 or bytes is empty.
QString lettersFromBytes(QByteArrayView bytes, int n);

// n decimal digits "0" + byte mod 10; empty when n <= 0 or bytes is empty.
QString digitsFromBytes(QByteArrayView bytes, int n);

// The lowest width base-36 digits (0-9, A-Z) of value, leading zeros kept.
QString toBase36(quint64 value, int width);

namespace vondrel {

// The n characters of lettersFromBytes and digitsFromBytes written to out, which
// has room for them; nothing is written when n <= 0 or bytes is empty.
void writeLetters(QByteArrayView bytes, int n, QChar *out);
void writeDigits(QByteArrayView bytes, int n, QChar *out);
// The width characters of lowDecimalDigits written to out, which has room for them.
void writeLowDecimalDigits(quint64 value, int width, QChar *out);
// The width characters of toBase36 written to out, which has room for them.
void writeBase36(quint64 value, int width, QChar *out);

// value mod 10^width in decimal, padded with "0" to width digits (all of value
// when width >= 20); empty when width <= 0.
QString lowDecimalDigits(quint64 value, int width);

} // namespace vondrel
