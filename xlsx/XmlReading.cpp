#include "XmlReading.h"

#include "XmlText.h"

#include <QXmlStreamReader>

#include <charconv>
#include <cmath>

namespace QXlsx {

bool parseXmlBool(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    return trimmed == u"1" || trimmed == u"true";
}

std::optional<double> parseXmlNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    // Long enough for any double the file format writes; longer text is not a number.
    char buffer[64];
    if (trimmed.isEmpty() || trimmed.size() >= qsizetype(sizeof buffer))
        return std::nullopt;
    qsizetype length = 0;
    for (const QChar c : trimmed) {
        if (c.unicode() > 0x7F)
            return std::nullopt;
        buffer[length++] = char(c.unicode());
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

int parseXmlIndex(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
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

QString readRichText(QXmlStreamReader &xml)
{
    const QString item = xml.name().toString();
    QString text;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == item)
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"t")
            text += xml.readElementText();
        else if (xml.name() != u"r")
            xml.skipCurrentElement(); // run properties, phonetic runs and their settings
    }
    return decodeXmlEscapes(text);
}

} // namespace QXlsx
