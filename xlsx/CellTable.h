#pragma once

#include "Cell.h"
#include "CellRange.h"

#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace QXlsx {

// The cells of one worksheet, stored sparsely: only cells that exist cost memory, whatever
// range they span. Rows are kept in order and each row's cells by column, so a sheet is read
// and written front to back without sorting. Cells are never removed, and a cell stays at its
// address for the table's whole life, so pointers handed out remain valid.
class CellTable
{
public:
    explicit CellTable(bool date1904);
    // An independent table with equal cells; their values and formats are shared until
    // either side writes them, and where the cells lie is shared until either side adds one.
    CellTable(const CellTable &other);
    CellTable &operator=(const CellTable &) = delete;

    const Cell *find(int row, int column) const;
    // The cell at the position, created blank when there is none.
    Cell &obtain(int row, int column);

    qsizetype count() const { return qsizetype(m_cells.size()); }
    // The smallest range holding every cell; invalid when there is none.
    CellRange dimension() const;

    // Calls visit(row, column, cell) for every cell, row by row and each row left to right.
    template<typename Visitor>
    void forEachCell(Visitor &&visit) const
    {
        for (const auto &[row, cells] : m_index->rows)
            for (const Entry &entry : cells)
                visit(row, entry.column, m_cells[entry.cell]);
    }
    template<typename Visitor>
    void forEachCell(Visitor &&visit)
    {
        for (const auto &[row, cells] : m_index->rows)
            for (const Entry &entry : cells)
                visit(row, entry.column, m_cells[entry.cell]);
    }

private:
    // A cell of a row by its place in m_cells: half the size of a pointer, and a copy of the
    // table, whose cells lie in the same places, can use the rows as they are.
    struct Entry
    {
        int column;
        quint32 cell;
    };
    using Row = std::vector<Entry>;
    // Where each cell lies. A sheet of a million short rows spends more on this than on its
    // cells, so a copy shares it until a cell is added on either side.
    struct Index
    {
        std::map<int, Row> rows;
        Row *newestRow = nullptr;
        int firstColumn = 0;
        int lastColumn = 0;
    };

    const Entry *entryAt(int row, int column) const;
    // Whether a cell at the position would come after every cell there is, as a reader adds them.
    bool followsLastCell(int row, int column) const;
    // The index, made this table's own first when a copy shares it.
    Index &ownIndex();
    Row &obtainRow(Index &index, int row);

    bool m_date1904;
    std::deque<Cell> m_cells; // deque: growing it never moves a cell
    std::shared_ptr<Index> m_index;
};

} // namespace QXlsx
