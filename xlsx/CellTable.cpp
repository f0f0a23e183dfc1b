#include "CellTable.h"

#include <algorithm>

namespace QXlsx {

CellTable::CellTable(bool date1904)
    : m_date1904(date1904)
{ }

const Cell *CellTable::find(int row, int column) const
{
    return m_index.value(key(row, column), nullptr);
}

Cell &CellTable::obtain(int row, int column)
{
    Cell *&slot = m_index[key(row, column)];
    if (slot)
        return *slot;
    slot = &m_cells.emplace_back(m_date1904);
    if (m_cells.size() == 1) {
        m_firstRow = m_lastRow = row;
        m_firstColumn = m_lastColumn = column;
    } else {
        m_firstRow = std::min(m_firstRow, row);
        m_lastRow = std::max(m_lastRow, row);
        m_firstColumn = std::min(m_firstColumn, column);
        m_lastColumn = std::max(m_lastColumn, column);
    }
    return *slot;
}

CellRange CellTable::dimension() const
{
    if (m_cells.empty())
        return {};
    return CellRange(m_firstRow, m_firstColumn, m_lastRow, m_lastColumn);
}

std::vector<CellTable::Entry> CellTable::inOrder() const
{
    std::vector<Entry> entries;
    entries.reserve(m_index.size());
    for (auto it = m_index.cbegin(); it != m_index.cend(); ++it)
        entries.push_back({int(it.key() >> 32), int(it.key() & 0xFFFFFFFFu), it.value()});
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    return entries;
}

} // namespace QXlsx
