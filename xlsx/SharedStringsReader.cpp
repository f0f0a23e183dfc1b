#include "SharedStringsReader.h"

#include "Worksheet.h"
#include "XmlPullReader.h"
#include "XmlReading.h"

#include <utility>

namespace QXlsx {

namespace {
// The declared count only sizes the list up front; a hostile file must not make it huge.
constexpr int MaxReserved = 1 << 20;
} // namespace

bool SharedStringsReader::read(XmlPullReader &xml)
{
    while (!xml.atEnd()) {
        if (xml.readNext() != XmlPullReader::StartElement)
            continue;
        if (sameBytes(xml.name(), "sst")) {
            const int declared = parseXmlIndex(xml.attribute("uniqueCount"));
            m_strings.reserve(qBound(0, declared, MaxReserved));
        } else if (sameBytes(xml.name(), "si")) {
            QString text;
            if (!readRichText(xml, Worksheet::MaxTextLength, &text))
                return false;
            m_strings.append(text);
        }
    }
    return !xml.hasError();
}

QList<QString> SharedStringsReader::takeStrings()
{
    return std::exchange(m_strings, {});
}

} // namespace QXlsx
