#include "SharedStringTable.h"

#include "XlsxNamespaces.h"
#include "XmlText.h"

#include <QXmlStreamWriter>

namespace QXlsx {

int SharedStringTable::add(const QString &text)
{
    ++m_references;
    return m_strings.indexOf(text);
}

void SharedStringTable::write(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(QStringLiteral("sst"));
    xml.writeDefaultNamespace(MainNamespace);
    xml.writeAttribute(QStringLiteral("count"), QString::number(m_references));
    xml.writeAttribute(QStringLiteral("uniqueCount"), QString::number(m_strings.values().size()));
    for (const QString &text : m_strings.values()) {
        xml.writeStartElement(QStringLiteral("si"));
        xml.writeStartElement(QStringLiteral("t"));
        if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
            xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml.writeCharacters(encodeXmlEscapes(text));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

} // namespace QXlsx
