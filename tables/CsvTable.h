#pragma once

#include "CsvRowBlock.h"

#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

namespace vondrel {

// Texts a table column shows in place of its own fields, by entry number: each kept once
// for many rows, such as the results of a run.
class CsvColumnTexts
{
public:
    virtual ~CsvColumnTexts() = default;
    virtual QStringView text(qint32 entry) const = 0;
};

// The rows of a CSV table: text fields, rows of any length, kept compactly in blocks of
// rows. Rows are inserted and removed by reference, never by moving their text; new rows
// join the last block that has room. A copy of a table shares its blocks until either side
// changes one.
class CsvTable
{
public:
    int rowCount() const { return int(m_rows.size()); }
    int fieldCount(int row) const;
    // The field's text; valid until the table is changed. column < fieldCount(row).
    QStringView field(int row, int column) const;
    // The field's text, or a null view where the row is shorter than column + 1 fields.
    QStringView fieldOrNull(int row, int column) const;
    QStringList fields(int row) const;
    // All fields of a row as field() gives them, fieldCount(row) of them: a whole row costs
    // one lookup of its block and one pass over the overlays, not one of each per field.
    void rowFields(int row, std::vector<QStringView> &fields) const;

    // Pads the row with empty fields up to the column. False only for text longer than a
    // block can hold.
    bool setField(int row, int column, QStringView text);
    // Lets column show texts->text(entries[row - firstRow]) in the rows from firstRow on
    // whose entry is not negative, in place of its own fields and without copying them; an
    // empty text is an empty field. Setting such a field ends it for that field; inserting or
    // removing rows or columns first brings the texts into the rows.
    void overlayColumn(int column, int firstRow, std::vector<qint32> entries,
                       std::shared_ptr<const CsvColumnTexts> texts);
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
    struct Overlay
    {
        int column;
        int firstRow;
        std::vector<qint32> entries;
        std::shared_ptr<const CsvColumnTexts> texts;

        qint32 entryAt(int row) const
        {
            const auto index = size_t(row - firstRow);
            return row >= firstRow && index < entries.size() ? entries[index] : -1;
        }
    };

    const CsvRowBlock &blockOf(int row) const { return *m_blocks[m_rows[size_t(row)].block]; }
    // The block for a change, made its own first when a copy of the table shares it.
    CsvRowBlock &changedBlock(quint32 block);
    CsvRowBlock &changedBlockOf(int row) { return changedBlock(m_rows[size_t(row)].block); }
    // The block that takes new rows, started when the last one is full.
    quint32 blockForNewRows();
    const Overlay *overlayOf(int column) const;
    QStringView overlaidFieldOrNull(int row, int column) const;
    // Writes the overlaid texts into the rows and drops the overlays.
    void settleOverlays();

    std::vector<std::shared_ptr<CsvRowBlock>> m_blocks;
    std::vector<RowRef> m_rows;
    std::vector<Overlay> m_overlays;
};

inline QStringView CsvTable::fieldOrNull(int row, int column) const
{
    // Inline for tables without overlays, the common case while a run reads its input.
    if (!m_overlays.empty())
        return overlaidFieldOrNull(row, column);
    const RowRef ref = m_rows[size_t(row)];
    const CsvRowBlock &block = *m_blocks[ref.block];
    return column < block.fieldCount(int(ref.row)) ? block.field(int(ref.row), column)
                                                   : QStringView();
}

} // namespace vondrel
