#pragma once

#include <QHash>
#include <QList>

namespace QXlsx {

// Distinct values in the order they were first added, each known by its position: the shape
// of every table a saved workbook refers to by index (strings, styles, fonts, fills).
template<typename T>
class IndexedSet
{
public:
    // The index of value, adding it on first use.
    int indexOf(const T &value)
    {
        const qsizetype known = m_indexes.size();
        int &index = m_indexes[value];
        if (m_indexes.size() != known) {
            index = int(m_values.size());
            m_values.append(value);
        }
        return index;
    }

    const QList<T> &values() const { return m_values; }

private:
    QHash<T, int> m_indexes;
    QList<T> m_values;
};

} // namespace QXlsx
