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
    , m_index(std::make_shared<Index>())
{ }

CellTable::CellTable(const CellTable &other)
    : m_date1904(other.m_date1904)
    , m_cells(other.m_cells)
    , m_index(other.m_index)
{ }

const CellTable::Entry *CellTable::entryAt(int row, int column) const
{
    const std::map<int, Row> &rows = m_index->rows;
    // Readers go row by row; the last row is found without a tree search.
    const auto rowIt = !rows.empty() && std::prev(rows.end())->first == row ? std::prev(rows.end())
                                                                            : rows.find(row);
    if (rowIt == rows.end())
        return nullptr;
    const Row &cells = rowIt->second;
    const auto it = columnPosition(cells, column);
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

const Cell *CellTable::find(int row, int column) const
{
    const Entry *entry = entryAt(row, column);
    return entry ? &m_cells[entry->cell] : nullptr;
}

bool CellTable::followsLastCell(int row, int column) const
{
    const std::map<int, Row> &rows = m_index->rows;
    if (rows.empty() || std::prev(rows.end())->first < row)
        return true;
    const Row &last = std::prev(rows.end())->second;
    return std::prev(rows.end())->first == row && (last.empty() || last.back().column < column);
}

Cell &CellTable::obtain(int row, int column)
{
    if (!followsLastCell(row, column)) {
        if (const Entry *entry = entryAt(row, column))
            return m_cells[entry->cell];
    }
    Index &index = ownIndex();
    Row &cells = obtainRow(index, row);
    const auto place = quint32(m_cells.size());
    Cell &cell = m_cells.emplace_back(m_date1904);
    const bool appending = cells.empty() || cells.back().column < column;
    cells.insert(appending ? cells.end() : columnPosition(cells, column), {column, place});
    if (m_cells.size() == 1) {
        index.firstColumn = index.lastColumn = column;
    } else {
        index.firstColumn = std::min(index.firstColumn, column);
        index.lastColumn = std::max(index.lastColumn, column);
    }
    return cell;
}

CellTable::Index &CellTable::ownIndex()
{
    if (m_index.use_count() > 1) {
        auto own = std::make_shared<Index>(*m_index);
        own->newestRow = own->rows.empty() ? nullptr : &std::prev(own->rows.end())->second;
        m_index = std::move(own);
    }
    return *m_index;
}

CellTable::Row &CellTable::obtainRow(Index &index, int row)
{
    std::map<int, Row> &rows = index.rows;
    const bool appending = rows.empty() || std::prev(rows.end())->first < row;
    if (!appending && std::prev(rows.end())->first == row)
        return std::prev(rows.end())->second;
    const size_t known = rows.size();
    const auto it = appending ? rows.try_emplace(rows.end(), row) : rows.try_emplace(row).first;
    if (rows.size() != known) {
        // Rows of a sheet tend to be alike; sizing a new row like the one before it saves
        // both regrowing and slack.
        if (index.newestRow)
            it->second.reserve(std::min<size_t>(index.newestRow->size(), MaxReservedColumns));
        index.newestRow = &it->second;
    }
    return it->second;
}

CellRange CellTable::dimension() const
{
    if (m_cells.empty())
        return {};
    const std::map<int, Row> &rows = m_index->rows;
    return CellRange(rows.begin()->first, m_index->firstColumn, std::prev(rows.end())->first,
                     m_index->lastColumn);
}

} // namespace QXlsx
