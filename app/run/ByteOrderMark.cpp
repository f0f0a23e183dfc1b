#include "ByteOrderMark.h"

#include <optional>

QByteArray byteOrderMark(QStringConverter::Encoding encoding)
{
    switch (encoding) {
    case QStringConverter::Utf8:
    case QStringConverter::Utf16:
    case QStringConverter::Utf16LE:
    case QStringConverter::Utf16BE:
    case QStringConverter::Utf32:
    case QStringConverter::Utf32LE:
    case QStringConverter::Utf32BE: {
        QStringEncoder encoder(encoding);
        return encoder.encode(QStringView(u"\uFEFF"));
    }
    default:
        return QByteArray();
    }
}

qsizetype byteOrderMarkLength(const QByteArray &data)
{
    const std::optional<QStringConverter::Encoding> encoding =
        QStringConverter::encodingForData(data.first(qMin<qsizetype>(4, data.size())));
    if (!encoding)
        return 0;
    const QByteArray mark = byteOrderMark(*encoding);
    return data.startsWith(mark) ? mark.size() : 0;
}
