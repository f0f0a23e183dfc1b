#include "SharedStringTable.h"

#include "XlsxNamespaces.h"
#include "XmlText.h"

#include <QXmlStreamWriter>

namespace QXlsx {

int SharedStringTable::add(const QString &text)
{
    ++m_references;
    const qsizetype known = m_indexes.size();
    int &index = m_indexes[text];
    if (m_indexes.size() != known) {
        index = int(m_strings.size());
        m_strings.append(text);
    }
    return index;
}

void SharedStringTable::write(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(QStringLiteral("sst"));
    xml.writeDefaultNamespace(MainNamespace);
    xml.writeAttribute(QStringLiteral("count"), QString::number(m_references));
    xml.writeAttribute(QStringLiteral("uniqueCount"), QString::number(m_strings.size()));
    for (const QString &text : m_strings) {
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
