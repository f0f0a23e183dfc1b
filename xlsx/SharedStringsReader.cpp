#include "SharedStringsReader.h"

#include "XmlReading.h"

#include <QXmlStreamReader>

#include <utility>

namespace QXlsx {

namespace {
// The declared count only sizes the list up front; a hostile file must not make it huge.
constexpr int MaxReserved = 1 << 20;
} // namespace

bool SharedStringsReader::read(QXmlStreamReader &xml)
{
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"sst") {
            const int declared =
                parseXmlIndex(xml.attributes().value(QLatin1String("uniqueCount")));
            m_strings.reserve(qBound(0, declared, MaxReserved));
        } else if (xml.name() == u"si") {
            m_strings.append(readRichText(xml));
        }
    }
    return !xml.hasError();
}

QList<QString> SharedStringsReader::takeStrings()
{
    return std::exchange(m_strings, {});
}

} // namespace QXlsx
