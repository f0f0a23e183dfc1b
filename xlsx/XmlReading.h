#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QString>
#include <QStringView>

#include <optional>

namespace QXlsx {

class XmlPullReader;

// Small readers shared by the parsers of the package parts, for text from QXmlStreamReader
// (QStringView) and from XmlPullReader (UTF-8 bytes) alike.

// "1" and "true" are true; the file format writes booleans either way.
bool parseXmlBool(QStringView text);
bool parseXmlBool(QByteArrayView text);

// An xsd:double such as "1.5E-3"; empty for anything else, including infinities and NaN.
std::optional<double> parseXmlNumber(QStringView text);
std::optional<double> parseXmlNumber(QByteArrayView text);

// A non-negative index; -1 for anything else.
int parseXmlIndex(QStringView text);
int parseXmlIndex(QByteArrayView text);

// An "AARRGGBB" or "RRGGBB" colour; alpha is ignored, as spreadsheet programs do. Invalid for
// anything else.
QColor parseArgbColor(QStringView text);

// Reads the plain text of a string item (<si> or <is>), positioned on its start element: the
// <t> elements directly inside and those of rich-text runs, joined; phonetic runs are skipped
// and "_xHHHH_" escapes decoded. Returns with the reader on the item's end element. A text
// longer than maxLength raises an error on the reader; so does any other XML error, and the
// result is false then.
bool readRichText(XmlPullReader &xml, qsizetype maxLength, QString *text);

// Text of at most maxLength UTF-16 code units takes at most three times as many UTF-8 bytes.
constexpr qsizetype maxUtf8Bytes(qsizetype maxLength)
{
    return 3 * maxLength;
}

} // namespace QXlsx
