#include "SharedStringTable.h"

#include "XlsxNamespaces.h"
#include "XmlText.h"

namespace QXlsx {

int SharedStringTable::add(const QString &text)
{
    ++m_references;
    return m_strings.indexOf(text);
}

bool SharedStringTable::write(const std::function<bool(const QByteArray &piece)> &sink) const
{
    // Composed as bytes like the worksheets: a table can hold millions of texts.
    constexpr qsizetype PieceSize = 1 << 20;
    QByteArray xml;
    xml.reserve(PieceSize + 4096);
    xml.append(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
               "\n<sst xmlns=\"");
    xml.append(MainNamespace.toUtf8());
    xml.append("\" count=\"").append(QByteArray::number(m_references));
    xml.append("\" uniqueCount=\"").append(QByteArray::number(m_strings.values().size()));
    xml.append("\">");
    for (const QString &text : m_strings.values()) {
        const bool padded = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
        xml.append(padded ? R"(<si><t xml:space="preserve">)" : "<si><t>");
        appendXmlText(xml, text);
        xml.append("</t></si>");
        if (xml.size() >= PieceSize) {
            if (!sink(xml))
                return false;
            xml.resize(0);
        }
    }
    xml.append("</sst>");
    return sink(xml);
}

} // namespace QXlsx
