#include "XmlReading.h"

#include "ByteBuffer.h"
#include "XmlPullReader.h"
#include "XmlText.h"

#include <charconv>
#include <cmath>

namespace QXlsx {

namespace {

char16_t unit(QChar c)
{
    return c.unicode();
}

char16_t unit(char c)
{
    return char16_t(uchar(c));
}

template<typename View>
bool equalsAscii(View text, const char *ascii)
{
    qsizetype i = 0;
    for (const auto c : text) {
        if (ascii[i] == 0 || unit(c) != char16_t(ascii[i]))
            return false;
        ++i;
    }
    return ascii[i] == 0;
}

template<typename View>
bool parseBool(View text)
{
    const View trimmed = text.trimmed();
    return equalsAscii(trimmed, "1") || equalsAscii(trimmed, "true");
}

template<typename View>
std::optional<double> parseNumber(View text)
{
    const View trimmed = text.trimmed();
    // Long enough for any double the file format writes; longer text is not a number.
    char buffer[64];
    if (trimmed.isEmpty() || trimmed.size() >= qsizetype(sizeof buffer))
        return std::nullopt;
    qsizetype length = 0;
    for (const auto c : trimmed) {
        if (unit(c) > 0x7F)
            return std::nullopt;
        buffer[length++] = char(unit(c));
    }
    const char *begin = buffer;
    if (*begin == '+')
        ++begin; // from_chars does not take a plus sign
    double value = 0;
    const auto [end, error] = std::from_chars(begin, buffer + length, value);
    if (error != std::errc() || end != buffer + length || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template<typename View>
int parseIndex(View text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (const auto c : text) {
        const char16_t u = unit(c);
        if (u < u'0' || u > u'9')
            return -1;
        value = value * 10 + (u - u'0');
    }
    return value;
}

} // namespace

bool parseXmlBool(QStringView text)
{
    return parseBool(text);
}

bool parseXmlBool(QByteArrayView text)
{
    return parseBool(text);
}

std::optional<double> parseXmlNumber(QStringView text)
{
    return parseNumber(text);
}

std::optional<double> parseXmlNumber(QByteArrayView text)
{
    return parseNumber(text);
}

int parseXmlIndex(QStringView text)
{
    return parseIndex(text);
}

int parseXmlIndex(QByteArrayView text)
{
    return parseIndex(text);
}

QColor parseArgbColor(QStringView text)
{
    if (text.size() != 8 && text.size() != 6)
        return {};
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok)
        return {};
    return QColor::fromRgb(QRgb(value | 0xFF000000u));
}

bool readRichText(XmlPullReader &xml, qsizetype maxLength, QString *text)
{
    // Escapes only ever shorten the text, so the limit can be checked on the raw bytes first.
    ByteBuffer utf8;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case XmlPullReader::StartElement:
            if (sameBytes(xml.name(), "t")) {
                if (!xml.readElementText(&utf8, maxUtf8Bytes(maxLength)))
                    return false;
            } else if (sameBytes(xml.name(), "r")) {
                ++depth;
            } else {
                xml.skipCurrentElement(); // run properties, phonetic runs and their settings
            }
            break;
        case XmlPullReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return false;
    *text = decodeXmlEscapes(QString::fromUtf8(utf8.view()));
    if (text->size() > maxLength) {
        xml.raiseError(XmlPullReader::tr("Text mit mehr als %1 Zeichen").arg(maxLength));
        return false;
    }
    return true;
}

} // namespace QXlsx
