#include "TextBlockDecoder.h"

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

} // namespace

TextBlockDecoder::TextBlockDecoder(QStringConverter::Encoding encoding)
    : m_decoder(encoding,
                QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
    , m_unit(unitFor(encoding))
{ }

qsizetype TextBlockDecoder::completeLength(QByteArrayView bytes) const
{
    const qsizetype size = bytes.size();
    switch (m_unit) {
    case Unit::Byte:
        return size;
    case Unit::Utf16:
        return size - size % 2;
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
    const qsizetype whole = m_unit == Unit::Utf8 ? bytes.size() : completeLength(bytes);
    out = m_decoder.appendToBuffer(out, bytes.first(whole));
    if (whole < bytes.size())
        *out++ = QChar::ReplacementCharacter;
    return out;
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
