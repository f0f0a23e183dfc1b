#include "SharedStringTable.h"

#include "ByteBuffer.h"
#include "XlsxNamespaces.h"
#include "XmlText.h"

#include <QHashFunctions>

namespace QXlsx {

int SharedStringTable::add(const QString &text)
{
    ++m_references;
    if (qsizetype(m_slots.size()) <= 2 * m_strings.size())
        grow();
    // The process's random seed: texts from a file must not be able to force collisions.
    const auto hash = quint32(qHash(text, QHashSeed::globalSeed()));
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot &slot = m_slots[i];
        if (slot.position == 0) {
            m_strings.append(text);
            slot = {hash, quint32(m_strings.size())};
            return int(m_strings.size() - 1);
        }
        if (slot.hash == hash && m_strings.at(slot.position - 1) == text)
            return int(slot.position - 1);
    }
}

void SharedStringTable::grow()
{
    std::vector<Slot> table(qMax<size_t>(1024, 2 * m_slots.size()), Slot {0, 0});
    const size_t mask = table.size() - 1;
    for (const Slot &slot : m_slots) {
        if (slot.position == 0)
            continue;
        size_t i = slot.hash & mask;
        while (table[i].position != 0)
            i = (i + 1) & mask;
        table[i] = slot;
    }
    m_slots = std::move(table);
}

bool SharedStringTable::write(const std::function<bool(QByteArrayView piece)> &sink) const
{
    // Composed as bytes like the worksheets: a table can hold millions of texts.
    constexpr qsizetype PieceSize = 1 << 20;
    ByteBuffer xml;
    xml.reserve(PieceSize + 4096);
    xml.append(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
               "\n<sst xmlns=\"");
    xml.append(MainNamespace.toUtf8());
    xml.append("\" count=\"").appendInteger(m_references);
    xml.append("\" uniqueCount=\"").appendInteger(m_strings.size());
    xml.append("\">");
    for (const QString &text : m_strings) {
        const bool padded = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
        xml.append(padded ? R"(<si><t xml:space="preserve">)" : "<si><t>");
        appendXmlText(xml, text);
        xml.append("</t></si>");
        if (xml.size() >= PieceSize) {
            if (!sink(xml.view()))
                return false;
            xml.clear();
        }
    }
    xml.append("</sst>");
    return sink(xml.view());
}

} // namespace QXlsx
