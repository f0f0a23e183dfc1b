#pragma once

#include "ByteBuffer.h"
#include "CellRange.h"
#include "Worksheet.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace QXlsx {

class Cell;
class CellFormula;
class SharedStringTable;
class StyleTable;

// Writes one worksheet part: where its outline groups have their summaries, its frozen pane,
// default sizes, column widths and outlines, cells row by row with their rows' heights and
// outlines, and its merged ranges. Texts go to the shared string table, formats to the style
// table. Formula cells are written without their recorded results, so a saved file never keeps
// a value computed from the original data; copies of a shared formula are written shared again.
//
// A sheet can hold millions of cells, so the part is composed directly as UTF-8 bytes, every
// text in it passing through one escaping function, and handed on in pieces.
class WorksheetWriter
{
public:
    // Receives the part piece by piece; returns false to stop writing.
    using Sink = std::function<bool(QByteArrayView piece)>;

    WorksheetWriter(const Worksheet &sheet, StyleTable *styles, SharedStringTable *strings);

    bool write(const Sink &sink);

private:
    // Copies of one shared formula are written shared again, as spreadsheet programs write
    // them, anchored at the first copy that is still there (the master, unless it was
    // overwritten). Copies that lie left of every anchor start an anchor of their own.
    struct SharedAnchor
    {
        int index; // the "si" of the written group; -1 while no copy refers to it
        int row;
        int column;
        CellRange range; // the anchor and the copies it covers
    };
    struct SharedOrigin
    {
        const QChar *text; // the formula text the copies share
        std::vector<SharedAnchor> anchors;
    };

    bool flush(const Sink &sink, qsizetype threshold);
    void openRow(int row, double height, const Worksheet::Outline &outline);
    void writeSheetProperties();
    void writeSheetView();
    void writeSheetFormat();
    void writeColumns();
    void collectSharedFormulas();
    // The anchor that a copy of a shared formula is written under; null for a formula that is
    // written in full.
    const SharedAnchor *sharedAnchor(int row, int column, const CellFormula &formula) const;
    void writeFormula(int row, int column, const CellFormula &formula);
    void writeCell(int row, int column, int style, const Cell &cell);
    void writeMergedCells();
    const QByteArray &columnName(int column);

    const Worksheet &m_sheet;
    StyleTable *m_styles;
    SharedStringTable *m_strings;
    ByteBuffer m_xml;
    ByteBuffer m_rowNumber;
    QList<QByteArray> m_columnNames; // letters by column, filled as columns are met
    std::map<std::pair<int, int>, SharedOrigin> m_sharedOrigins; // by the master's position
    int m_sharedCount = 0;
};

} // namespace QXlsx
