#pragma once

#include "Cell.h"
#include "CellRange.h"

#include <QHash>

#include <deque>
#include <utility>
#include <vector>

namespace QXlsx {

// The cells of one worksheet, stored sparsely: only cells that exist cost memory, whatever
// range they span. Cells are never removed, and a cell stays at its address for the table's
// whole life, so pointers handed out remain valid.
class CellTable
{
public:
    explicit CellTable(bool date1904);

    const Cell *find(int row, int column) const;
    // The cell at the position, created blank when there is none.
    Cell &obtain(int row, int column);

    qsizetype count() const { return qsizetype(m_cells.size()); }
    // The smallest range holding every cell; invalid when there is none.
    CellRange dimension() const;

    struct Entry
    {
        int row;
        int column;
        const Cell *cell;
    };
    // Every cell, row by row and each row from left to right.
    std::vector<Entry> inOrder() const;

private:
    static quint64 key(int row, int column) { return (quint64(row) << 32) | quint32(column); }

    bool m_date1904;
    std::deque<Cell> m_cells; // deque: growing it never moves a cell
    QHash<quint64, Cell *> m_index;
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_lastRow = 0;
    int m_lastColumn = 0;
};

} // namespace QXlsx
