#pragma once

#include "CsvRowBlock.h"

#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

namespace vondrel {

// The rows of a CSV table: text fields, rows of any length, kept compactly in blocks of
// rows. Rows are inserted and removed by reference, never by moving their text; new rows
// join the last block that has room.
class CsvTable
{
public:
    int rowCount() const { return int(m_rows.size()); }
    int fieldCount(int row) const;
    // The field's text; valid until the table is changed. column < fieldCount(row).
    QStringView field(int row, int column) const;
    QStringList fields(int row) const;

    // Pads the row with empty fields up to the column. False only for text longer than a
    // block can hold.
    bool setField(int row, int column, QStringView text);
    // The new text of column columns[index] in a row, or false to leave the field as it is.
    using FieldSource = std::function<bool(int row, int index, QStringView &text)>;
    // Sets the fields of the given columns in every row from firstRow on, a block of rows at
    // a time: far faster than setField for many rows. False when a block cannot take the
    // text; the rows before it are then set.
    bool setFields(int firstRow, const std::vector<int> &columns, const FieldSource &source);
    // Empty rows at row, 0 <= row <= rowCount().
    void insertRows(int row, int count);
    // Rows row to row + count - 1, all of them present.
    void removeRows(int row, int count);
    // In every row: pads to column + 1 fields, then inserts count empty fields at column.
    void insertColumns(int column, int count);
    // In every row: removes the fields from column to column + count - 1 that exist.
    void removeColumns(int column, int count);

    // Adds the rows of a block at the end.
    void appendBlock(CsvRowBlock block);
    // Gives back spare capacity once the rows are read in.
    void squeeze();

private:
    struct RowRef
    {
        quint32 block;
        quint32 row;
    };

    const CsvRowBlock &blockOf(int row) const { return m_blocks[m_rows[size_t(row)].block]; }
    CsvRowBlock &blockOf(int row) { return m_blocks[m_rows[size_t(row)].block]; }
    // The block that takes new rows, started when the last one is full.
    quint32 blockForNewRows();

    std::vector<CsvRowBlock> m_blocks;
    std::vector<RowRef> m_rows;
};

} // namespace vondrel
