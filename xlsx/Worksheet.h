#pragma once

#include "Cell.h"
#include "CellRange.h"
#include "CellTable.h"
#include "Format.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <map>

namespace QXlsx {

class FormatPool;

// One worksheet of a workbook: its cells and merged ranges, and how it is shown: whether it is
// hidden, column widths, row heights, hidden and grouped rows and columns, the sizes of rows
// and columns without their own, and a frozen pane. Rows and columns are 1-based.
class Worksheet
{
public:
    // Longest text a spreadsheet cell can hold.
    static constexpr int MaxTextLength = 32767;

    enum SheetState {
        SheetVisible,
        SheetHidden, // the user can show it again
        SheetVeryHidden, // only a macro can show it again
    };

    // How a row or column is shown beside its size: hidden or not, its outline level (grouped
    // rows or columns, 1 to MaxLevel deep), and on the row or column that summarises a group,
    // whether that group is folded.
    struct Outline
    {
        static constexpr int MaxLevel = 7;

        bool hidden = false;
        int level = 0;
        bool collapsed = false;

        bool isDefault() const { return !hidden && level == 0 && !collapsed; }
        bool operator==(const Outline &other) const
        {
            return hidden == other.hidden && level == other.level && collapsed == other.collapsed;
        }
        bool operator!=(const Outline &other) const { return !(*this == other); }
    };

    // The sizes of the rows and columns that have none of their own; 0 where the file gives
    // none and the spreadsheet program's own applies.
    struct Defaults
    {
        double rowHeight = 0; // points
        bool customRowHeight = false; // set by the user rather than following the default font
        double columnWidth = 0; // characters of the default font, padding included
        int baseColumnWidth = 0; // characters of the default font, without padding

        bool operator==(const Defaults &other) const
        {
            return rowHeight == other.rowHeight && customRowHeight == other.customRowHeight &&
                columnWidth == other.columnWidth && baseColumnWidth == other.baseColumnWidth;
        }
        bool operator!=(const Defaults &other) const { return !(*this == other); }
    };

    Worksheet(const QString &name, bool date1904, FormatPool *formats);
    // A copy of other for a workbook with the given formats (a copy of other's pool).
    Worksheet(const Worksheet &other, FormatPool *formats);
    Worksheet(const Worksheet &) = delete;
    Worksheet &operator=(const Worksheet &) = delete;

    QString sheetName() const;

    // The smallest range holding every cell; invalid for a sheet without cells.
    CellRange dimension() const;

    // The cell at the position, null when there is none. The pointer stays valid as long as the
    // worksheet lives; later writes change the cell it points to.
    const Cell *cellAt(int row, int column) const;

    // The cell's value as a user edits it: "=" and the text for a formula, a QDate, QTime or
    // QDateTime for a date cell, else the stored value; invalid when there is no cell.
    QVariant read(int row, int column) const;

    // Stores a value by its type: invalid or empty text gives a blank cell; text starting with
    // "=" a formula unless the cell's number format is "@" (text); bool; numbers; QDate,
    // QDateTime and QTime as serial numbers, with a date format added when the cell has none. A
    // valid format replaces the cell's format, an invalid one keeps it. Returns false, changing
    // nothing, for a position outside the sheet; returns false and leaves the cell blank for a
    // value a spreadsheet cannot hold (not finite, an invalid date, text longer than
    // MaxTextLength), so that no earlier value survives a failed write.
    bool write(int row, int column, const QVariant &value, const Format &format = Format());

    QList<CellRange> mergedCells() const;
    void setMergedCells(const QList<CellRange> &ranges);

    SheetState sheetState() const;
    void setSheetState(SheetState state);

    // Widths in characters of the default font, for columns that have one; 0 for the others.
    double columnWidth(int column) const;
    // Sets the width of every column from first to last; 0 returns them to the default width.
    void setColumnWidth(int first, int last, double width);
    const std::map<int, double> &columnWidths() const { return m_columnWidths; }

    // Heights in points, for rows that have one; 0 for the others.
    double rowHeight(int row) const;
    void setRowHeight(int row, double height);
    const std::map<int, double> &rowHeights() const { return m_rowHeights; }

    // Only rows and columns that are hidden, grouped or collapsed have an entry.
    void setRowOutline(int row, const Outline &outline);
    const std::map<int, Outline> &rowOutlines() const { return m_rowOutlines; }
    // Sets the outline of every column from first to last.
    void setColumnOutline(int first, int last, const Outline &outline);
    const std::map<int, Outline> &columnOutlines() const { return m_columnOutlines; }

    // Where a group's summary lies: the row below the group (else above it), the column right
    // of it (else left of it).
    bool summaryRowsBelow() const;
    bool summaryColumnsRight() const;
    void setOutlineSummary(bool rowsBelow, bool columnsRight);

    Defaults defaults() const;
    // Sizes that are not finite or not positive count as not given.
    void setDefaults(const Defaults &defaults);

    // The rows at the top and the columns at the left that stay in view while the rest
    // scrolls; 0 and 0 for no frozen pane.
    int frozenRows() const;
    int frozenColumns() const;
    void setFrozenPane(int rows, int columns);

    bool isDate1904() const;
    // Direct access for the package reader and writer.
    CellTable &cells() { return m_cells; }
    const CellTable &cells() const { return m_cells; }

private:
    Format datedFormat(const Format &format, const QString &code);

    QString m_name;
    bool m_date1904;
    FormatPool *m_formats;
    CellTable m_cells;
    QList<CellRange> m_mergedCells;
    SheetState m_state = SheetVisible;
    std::map<int, double> m_columnWidths;
    std::map<int, double> m_rowHeights;
    std::map<int, Outline> m_rowOutlines;
    std::map<int, Outline> m_columnOutlines;
    bool m_summaryRowsBelow = true;
    bool m_summaryColumnsRight = true;
    Defaults m_defaults;
    int m_frozenRows = 0;
    int m_frozenColumns = 0;
    QHash<QString, Format> m_plainDateFormats; // by number format code
};

} // namespace QXlsx
