#include "TextBlockDecoder.h"

#include "UnpairedSurrogates.h"

#include <QtEndian>

namespace vondrel {

namespace {

bool isContinuation(uchar byte)
{
    return (byte & 0xc0) == 0x80;
}

// Length of the sequence a UTF-8 lead byte announces; 1 for ASCII and for broken bytes.
qsizetype utf8SequenceLength(uchar lead)
{
    if (lead >= 0xc2 && lead <= 0xdf)
        return 2;
    if (lead >= 0xe0 && lead <= 0xef)
        return 3;
    if (lead >= 0xf0 && lead <= 0xf4)
        return 4;
    return 1;
}

// One UTF-32 unit as one character: a surrogate code point or a value past U+10FFFF is a
// broken character, replaced whole (the toolkit's converter passes the first through and splits
// the second, inventing characters where pieces pair up).
QChar *appendUtf32Unit(char32_t unit, QChar *out)
{
    if (unit > 0x10ffff || QChar::isSurrogate(unit)) {
        *out++ = QChar::ReplacementCharacter;
    } else if (QChar::requiresSurrogates(unit)) {
        *out++ = QChar(QChar::highSurrogate(unit));
        *out++ = QChar(QChar::lowSurrogate(unit));
    } else {
        *out++ = QChar(char16_t(unit));
    }
    return out;
}

} // namespace

TextBlockDecoder::TextBlockDecoder(QStringConverter::Encoding encoding)
    : m_decoder(encoding,
                QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
    , m_unit(unitFor(encoding))
    , m_bigEndian(encoding == QStringConverter::Utf16BE || encoding == QStringConverter::Utf32BE ||
                  ((encoding == QStringConverter::Utf16 || encoding == QStringConverter::Utf32) &&
                   QSysInfo::ByteOrder == QSysInfo::BigEndian))
{ }

qsizetype TextBlockDecoder::completeLength(QByteArrayView bytes) const
{
    const qsizetype size = bytes.size();
    switch (m_unit) {
    case Unit::Byte:
        return size;
    case Unit::Utf16: {
        // A high surrogate waits for the low one that completes it.
        const qsizetype whole = size - size % 2;
        return whole >= 2 && QChar::isHighSurrogate(unitAt(bytes, whole - 2)) ? whole - 2 : whole;
    }
    case Unit::Utf32:
        return size - size % 4;
    case Unit::Utf8:
        break;
    }
    // Find the last lead byte among the final three; hold it back when the continuation
    // bytes it announces have not all arrived yet.
    for (qsizetype start = size - 1; start >= 0 && start >= size - 3; --start) {
        const auto byte = uchar(bytes[start]);
        if (isContinuation(byte))
            continue;
        return size - start < utf8SequenceLength(byte) ? start : size;
    }
    return size;
}

qsizetype TextBlockDecoder::characterLength(QByteArrayView bytes) const
{
    switch (m_unit) {
    case Unit::Byte:
        return 1;
    case Unit::Utf16:
        if (bytes.size() >= 4 && QChar::isHighSurrogate(unitAt(bytes, 0)) &&
            QChar::isLowSurrogate(unitAt(bytes, 2)))
            return 4;
        return qMin<qsizetype>(2, bytes.size());
    case Unit::Utf32:
        return qMin<qsizetype>(4, bytes.size());
    case Unit::Utf8:
        break;
    }
    const qsizetype length = utf8SequenceLength(uchar(bytes[0]));
    if (length > bytes.size())
        return 1;
    for (qsizetype i = 1; i < length; ++i) {
        if (!isContinuation(uchar(bytes[i])))
            return 1;
    }
    return length;
}

qsizetype TextBlockDecoder::requiredSpace(qsizetype byteCount) const
{
    return m_decoder.requiredSpace(byteCount) + 1; // a cut-off unit at the end
}

QChar *TextBlockDecoder::decode(QByteArrayView bytes, QChar *out)
{
    // The converters drop or garble a cut-off UTF-16 or UTF-32 unit; it is one broken
    // character.
    qsizetype whole = bytes.size();
    if (m_unit == Unit::Utf16)
        whole -= whole % 2;
    else if (m_unit == Unit::Utf32)
        whole -= whole % 4;
    QChar *const begin = out;
    if (m_unit == Unit::Utf32) {
        for (qsizetype at = 0; at < whole; at += 4) {
            const char *unit = bytes.data() + at;
            out = appendUtf32Unit(m_bigEndian ? qFromBigEndian<char32_t>(unit)
                                              : qFromLittleEndian<char32_t>(unit),
                                  out);
        }
    } else {
        out = m_decoder.appendToBuffer(out, bytes.first(whole));
    }
    if (m_unit == Unit::Utf16)
        replaceUnpairedSurrogates(begin, out);
    if (whole < bytes.size())
        *out++ = QChar::ReplacementCharacter;
    return out;
}

char16_t TextBlockDecoder::unitAt(QByteArrayView bytes, qsizetype at) const
{
    const auto first = uchar(bytes[at]);
    const auto second = uchar(bytes[at + 1]);
    return m_bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
}

TextBlockDecoder::Unit TextBlockDecoder::unitFor(QStringConverter::Encoding encoding)
{
    switch (encoding) {
    case QStringConverter::Utf8:
        return Unit::Utf8;
    case QStringConverter::Utf16:
    case QStringConverter::Utf16LE:
    case QStringConverter::Utf16BE:
        return Unit::Utf16;
    case QStringConverter::Utf32:
    case QStringConverter::Utf32LE:
    case QStringConverter::Utf32BE:
        return Unit::Utf32;
    case QStringConverter::Latin1:
        return Unit::Byte;
    case QStringConverter::System:
        break;
    }
#ifdef Q_OS_WIN
    // The ANSI code page; German systems use a single-byte one.
    return Unit::Byte;
#else
    return Unit::Utf8;
#endif
}

} // namespace vondrel
