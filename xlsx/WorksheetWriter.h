#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

namespace QXlsx {

class Cell;
class SharedStringTable;
class StyleTable;
class Worksheet;

// Writes one worksheet part: its frozen pane, column widths, cells row by row with their row
// heights, and its merged ranges. Texts go to the shared
// string table, formats to the style table. Formula cells are written without their recorded
// results, so a saved file never keeps a value computed from the original data.
//
// A sheet can hold millions of cells, so the part is composed directly as UTF-8 bytes, every
// text in it passing through one escaping function, and handed on in pieces.
class WorksheetWriter
{
public:
    // Receives the part piece by piece; returns false to stop writing.
    using Sink = std::function<bool(const QByteArray &piece)>;

    WorksheetWriter(const Worksheet &sheet, StyleTable *styles, SharedStringTable *strings);

    bool write(const Sink &sink);

private:
    bool flush(const Sink &sink, qsizetype threshold);
    void openRow(int row, double height);
    void writeSheetView();
    void writeColumns();
    void writeCell(int column, int style, const Cell &cell);
    void writeMergedCells();
    const QByteArray &columnName(int column);

    const Worksheet &m_sheet;
    StyleTable *m_styles;
    SharedStringTable *m_strings;
    QByteArray m_xml;
    QByteArray m_rowNumber;
    QList<QByteArray> m_columnNames; // letters by column, filled as columns are met
};

} // namespace QXlsx
