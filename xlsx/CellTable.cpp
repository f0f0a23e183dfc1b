#include "CellTable.h"

#include <algorithm>
#include <iterator>

namespace QXlsx {

namespace {

// Beyond this a row grows as needed, so one wide row cannot inflate the rows after it.
constexpr size_t MaxReservedColumns = 256;

template<typename Entries>
auto columnPosition(Entries &cells, int column)
{
    return std::lower_bound(cells.begin(), cells.end(), column,
                            [](const auto &entry, int c) { return entry.column < c; });
}

} // namespace

CellTable::CellTable(bool date1904)
    : m_date1904(date1904)
{ }

CellTable::CellTable(const CellTable &other)
    : m_date1904(other.m_date1904)
    , m_cells(other.m_cells)
    , m_rows(other.m_rows)
    , m_newestRow(m_rows.empty() ? nullptr : &std::prev(m_rows.end())->second)
    , m_firstColumn(other.m_firstColumn)
    , m_lastColumn(other.m_lastColumn)
{ }

const Cell *CellTable::find(int row, int column) const
{
    // Readers go row by row; the last row is found without a tree search.
    const auto rowIt = !m_rows.empty() && std::prev(m_rows.end())->first == row
        ? std::prev(m_rows.end())
        : m_rows.find(row);
    if (rowIt == m_rows.end())
        return nullptr;
    const Row &cells = rowIt->second;
    const auto it = columnPosition(cells, column);
    return it != cells.end() && it->column == column ? &m_cells[it->cell] : nullptr;
}

Cell &CellTable::obtain(int row, int column)
{
    Row &cells = obtainRow(row);
    auto it = cells.end();
    if (!cells.empty() && cells.back().column >= column) {
        it = columnPosition(cells, column);
        if (it->column == column)
            return m_cells[it->cell];
    }
    const auto index = quint32(m_cells.size());
    Cell &cell = m_cells.emplace_back(m_date1904);
    cells.insert(it, {column, index});
    if (m_cells.size() == 1) {
        m_firstColumn = m_lastColumn = column;
    } else {
        m_firstColumn = std::min(m_firstColumn, column);
        m_lastColumn = std::max(m_lastColumn, column);
    }
    return cell;
}

CellTable::Row &CellTable::obtainRow(int row)
{
    const bool appending = m_rows.empty() || std::prev(m_rows.end())->first < row;
    if (!appending && std::prev(m_rows.end())->first == row)
        return std::prev(m_rows.end())->second;
    const size_t known = m_rows.size();
    const auto it =
        appending ? m_rows.try_emplace(m_rows.end(), row) : m_rows.try_emplace(row).first;
    if (m_rows.size() != known) {
        // Rows of a sheet tend to be alike; sizing a new row like the one before it saves
        // both regrowing and slack.
        if (m_newestRow)
            it->second.reserve(std::min<size_t>(m_newestRow->size(), MaxReservedColumns));
        m_newestRow = &it->second;
    }
    return it->second;
}

CellRange CellTable::dimension() const
{
    if (m_cells.empty())
        return {};
    return CellRange(m_rows.begin()->first, m_firstColumn, std::prev(m_rows.end())->first,
                     m_lastColumn);
}

} // namespace QXlsx
