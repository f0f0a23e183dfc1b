#include "MappingColumn.h"

MappingEntry MappingColumn::at(qsizetype entry) const
{
    return MappingEntry {order(entry), inputText(entry).toString(),
                         entry < resolvedCount() ? pseudonym(entry).toString() : QString()};
}

QList<MappingEntry> MappingColumn::entries() const
{
    QList<MappingEntry> list;
    list.reserve(size());
    for (qsizetype entry = 0; entry < size(); ++entry)
        list.append(at(entry));
    return list;
}

qint32 MappingColumn::add(QStringView inputText, int order)
{
    const auto entry = qint32(size());
    m_inputs.append(inputText);
    m_orders.push_back(order);
    return entry;
}

void MappingColumn::reservePseudonyms()
{
    m_pseudonyms.reserve(size(), m_inputs.characterCount());
}

void MappingColumn::addPseudonym(QStringView pseudonym)
{
    m_pseudonyms.append(pseudonym);
}
