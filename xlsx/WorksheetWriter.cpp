#include "WorksheetWriter.h"

#include "CellReference.h"
#include "CellTable.h"
#include "SharedStringTable.h"
#include "StyleTable.h"
#include "Worksheet.h"
#include "XlsxNamespaces.h"
#include "XmlText.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace QXlsx {

namespace {

// The size of the pieces handed to the sink.
constexpr qsizetype PieceSize = 1 << 20;

bool hasContent(const Cell &cell)
{
    return cell.formula().isValid() ||
        (!cell.isCachedResult() && cell.cellType() != Cell::BlankType);
}

// The height and outline of one row or the width and outline of one column.
struct LineLayout
{
    int index = 0;
    double size = 0;
    Worksheet::Outline outline;

    bool looksLike(const LineLayout &other) const
    {
        return size == other.size && outline == other.outline;
    }
};

// Walks the rows or columns that have a size or an outline of their own, in order.
class LineLayouts
{
public:
    LineLayouts(const std::map<int, double> &sizes,
                const std::map<int, Worksheet::Outline> &outlines)
        : m_size(sizes.begin())
        , m_sizeEnd(sizes.end())
        , m_outline(outlines.begin())
        , m_outlineEnd(outlines.end())
    { }

    // The next such row or column; a number past every row and column when there is none.
    int next() const
    {
        return std::min(m_size == m_sizeEnd ? MaxRowCount + 1 : m_size->first,
                        m_outline == m_outlineEnd ? MaxRowCount + 1 : m_outline->first);
    }

    // The layout of index, which must not lie before next(); moves past it.
    LineLayout take(int index)
    {
        LineLayout layout;
        layout.index = index;
        if (m_size != m_sizeEnd && m_size->first == index)
            layout.size = (m_size++)->second;
        if (m_outline != m_outlineEnd && m_outline->first == index)
            layout.outline = (m_outline++)->second;
        return layout;
    }

private:
    std::map<int, double>::const_iterator m_size;
    std::map<int, double>::const_iterator m_sizeEnd;
    std::map<int, Worksheet::Outline>::const_iterator m_outline;
    std::map<int, Worksheet::Outline>::const_iterator m_outlineEnd;
};

// The deepest outline level of the rows or columns.
int deepestLevel(const std::map<int, Worksheet::Outline> &outlines)
{
    int level = 0;
    for (const auto &entry : outlines)
        level = std::max(level, entry.second.level);
    return level;
}

// Appends an attribute, a blank before it.
void appendAttribute(ByteBuffer &xml, const char *name, qint64 value)
{
    xml.append(' ').append(name).append("=\"");
    xml.appendInteger(value);
    xml.append('"');
}

void appendAttribute(ByteBuffer &xml, const char *name, double value)
{
    xml.append(' ').append(name).append("=\"");
    xml.appendNumber(value);
    xml.append('"');
}

void appendOutline(ByteBuffer &xml, const Worksheet::Outline &outline)
{
    if (outline.hidden)
        xml.append(" hidden=\"1\"");
    if (outline.level > 0)
        appendAttribute(xml, "outlineLevel", qint64(outline.level));
    if (outline.collapsed)
        xml.append(" collapsed=\"1\"");
}

} // namespace

WorksheetWriter::WorksheetWriter(const Worksheet &sheet, StyleTable *styles,
                                 SharedStringTable *strings)
    : m_sheet(sheet)
    , m_styles(styles)
    , m_strings(strings)
{ }

bool WorksheetWriter::write(const Sink &sink)
{
    m_xml.reserve(PieceSize + 4096);
    m_xml.append(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                 "\n<worksheet xmlns=\"");
    m_xml.append(MainNamespace.toUtf8());
    m_xml.append("\" xmlns:r=\"");
    m_xml.append(RelationshipsNamespace.toUtf8());
    m_xml.append("\">");
    writeSheetProperties();
    m_xml.append("<dimension ref=\"");
    const CellRange dimension = m_sheet.dimension();
    m_xml.append(dimension.isValid() ? dimension.toString().toLatin1() : QByteArray("A1"));
    m_xml.append("\"/>");
    writeSheetView();
    writeSheetFormat();
    writeColumns();
    collectSharedFormulas();
    m_xml.append("<sheetData>");

    int openedRow = 0;
    bool ok = true;
    LineLayouts rows(m_sheet.rowHeights(), m_sheet.rowOutlines());
    // Rows with a height or an outline but no cells are written between the rows with cells.
    const auto writeLayoutsBefore = [&](int row) {
        while (ok && rows.next() < row) {
            const LineLayout layout = rows.take(rows.next());
            openRow(layout.index, layout.size, layout.outline);
            m_xml.append("</row>");
            ok = flush(sink, PieceSize);
        }
    };
    m_sheet.cells().forEachCell([&](int row, int column, const Cell &cell) {
        const int style = m_styles->styleIndex(cell.format());
        if (!ok || (style == 0 && !hasContent(cell)))
            return; // a cell without value, formula or style says nothing
        if (row != openedRow) {
            if (openedRow != 0)
                m_xml.append("</row>");
            ok = flush(sink, PieceSize);
            writeLayoutsBefore(row);
            const LineLayout layout = rows.take(row);
            openRow(row, layout.size, layout.outline);
            openedRow = row;
        }
        writeCell(row, column, style, cell);
    });
    if (openedRow != 0)
        m_xml.append("</row>");
    writeLayoutsBefore(MaxRowCount + 1);
    m_xml.append("</sheetData>");
    writeMergedCells();
    m_xml.append("</worksheet>");
    return ok && flush(sink, 0);
}

void WorksheetWriter::openRow(int row, double height, const Worksheet::Outline &outline)
{
    m_rowNumber.clear();
    m_rowNumber.appendInteger(row);
    m_xml.append("<row r=\"").append(m_rowNumber.view()).append('"');
    if (height > 0) {
        appendAttribute(m_xml, "ht", height);
        m_xml.append(" customHeight=\"1\"");
    }
    appendOutline(m_xml, outline);
    m_xml.append('>');
}

void WorksheetWriter::writeSheetProperties()
{
    if (m_sheet.summaryRowsBelow() && m_sheet.summaryColumnsRight())
        return;
    m_xml.append("<sheetPr><outlinePr");
    if (!m_sheet.summaryRowsBelow())
        m_xml.append(" summaryBelow=\"0\"");
    if (!m_sheet.summaryColumnsRight())
        m_xml.append(" summaryRight=\"0\"");
    m_xml.append("/></sheetPr>");
}

void WorksheetWriter::writeSheetFormat()
{
    const Worksheet::Defaults defaults = m_sheet.defaults();
    // Spreadsheet programs size the outline bar by these levels.
    const int rowLevel = deepestLevel(m_sheet.rowOutlines());
    const int columnLevel = deepestLevel(m_sheet.columnOutlines());
    if (defaults == Worksheet::Defaults() && rowLevel == 0 && columnLevel == 0)
        return;
    m_xml.append("<sheetFormatPr");
    if (defaults.baseColumnWidth > 0)
        appendAttribute(m_xml, "baseColWidth", qint64(defaults.baseColumnWidth));
    if (defaults.columnWidth > 0)
        appendAttribute(m_xml, "defaultColWidth", defaults.columnWidth);
    // The attribute is required; without one of the file's own, the usual height of the
    // default font.
    appendAttribute(m_xml, "defaultRowHeight", defaults.rowHeight > 0 ? defaults.rowHeight : 15.0);
    if (defaults.customRowHeight)
        m_xml.append(" customHeight=\"1\"");
    if (rowLevel > 0)
        appendAttribute(m_xml, "outlineLevelRow", qint64(rowLevel));
    if (columnLevel > 0)
        appendAttribute(m_xml, "outlineLevelCol", qint64(columnLevel));
    m_xml.append("/>");
}

void WorksheetWriter::writeSheetView()
{
    const int rows = m_sheet.frozenRows();
    const int columns = m_sheet.frozenColumns();
    if (rows == 0 && columns == 0)
        return;
    const char *pane = rows > 0 && columns > 0 ? "bottomRight"
        : rows > 0                             ? "bottomLeft"
                                               : "topRight";
    m_xml.append("<sheetViews><sheetView workbookViewId=\"0\"><pane");
    if (columns > 0)
        appendAttribute(m_xml, "xSplit", qint64(columns));
    if (rows > 0)
        appendAttribute(m_xml, "ySplit", qint64(rows));
    m_xml.append(" topLeftCell=\"")
        .append(CellReference(rows + 1, columns + 1).toString().toLatin1())
        .append("\" activePane=\"")
        .append(pane)
        .append("\" state=\"frozen\"/><selection pane=\"")
        .append(pane)
        .append("\"/></sheetView></sheetViews>");
}

void WorksheetWriter::writeColumns()
{
    LineLayouts columns(m_sheet.columnWidths(), m_sheet.columnOutlines());
    if (columns.next() > MaxColumnCount)
        return;
    m_xml.append("<cols>");
    const auto writeColumn = [this](const LineLayout &first, int last) {
        m_xml.append("<col");
        appendAttribute(m_xml, "min", qint64(first.index));
        appendAttribute(m_xml, "max", qint64(last));
        // A column without a width of its own keeps the sheet's default width.
        if (first.size > 0) {
            appendAttribute(m_xml, "width", first.size);
            m_xml.append(" customWidth=\"1\"");
        }
        appendOutline(m_xml, first.outline);
        m_xml.append("/>");
    };
    // Neighbouring columns of equal width and outline share one entry.
    LineLayout first = columns.take(columns.next());
    int last = first.index;
    while (columns.next() <= MaxColumnCount) {
        const LineLayout column = columns.take(columns.next());
        if (column.index == last + 1 && column.looksLike(first)) {
            last = column.index;
            continue;
        }
        writeColumn(first, last);
        first = column;
        last = column.index;
    }
    writeColumn(first, last);
    m_xml.append("</cols>");
}

bool WorksheetWriter::flush(const Sink &sink, qsizetype threshold)
{
    if (m_xml.size() < threshold || m_xml.isEmpty())
        return true;
    const bool ok = sink(m_xml.view());
    m_xml.clear();
    return ok;
}

namespace {

// More anchors per master come only from copies scattered on purpose; they are written in full.
constexpr size_t MaxAnchorsPerOrigin = 16;

// The first anchor above and left of the cell: the one a copy was put under when it was met.
template<typename Anchors>
auto anchorCovering(Anchors &anchors, int row, int column) -> decltype(anchors.data())
{
    for (auto &anchor : anchors)
        if (anchor.row <= row && anchor.column <= column)
            return &anchor;
    return nullptr;
}

} // namespace

const WorksheetWriter::SharedAnchor *WorksheetWriter::sharedAnchor(int row, int column,
                                                                   const CellFormula &formula) const
{
    // Copies lie below and right of their master, so moving a text from one copy to a later one
    // gives what moving it from the master does.
    const int rowOffset = formula.rowOffset();
    const int columnOffset = formula.columnOffset();
    if (rowOffset < 0 || columnOffset < 0 || formula.formulaType() != CellFormula::NormalType)
        return nullptr;
    const auto origin = m_sharedOrigins.find({row - rowOffset, column - columnOffset});
    if (origin == m_sharedOrigins.end() ||
        origin->second.text != formula.originalText().constData())
        return nullptr;
    return anchorCovering(origin->second.anchors, row, column);
}

void WorksheetWriter::collectSharedFormulas()
{
    // The masters first: a formula that was moved names its master's position.
    m_sharedOrigins.clear();
    m_sharedCount = 0;
    m_sheet.cells().forEachCell([this](int row, int column, const Cell &cell) {
        const CellFormula &formula = cell.formula();
        if (formula.isValid() && (formula.rowOffset() > 0 || formula.columnOffset() > 0) &&
            formula.rowOffset() >= 0 && formula.columnOffset() >= 0)
            m_sharedOrigins.try_emplace(
                {row - formula.rowOffset(), column - formula.columnOffset()},
                SharedOrigin {formula.originalText().constData(), {}});
    });
    if (m_sharedOrigins.empty())
        return;
    m_sheet.cells().forEachCell([this](int row, int column, const Cell &cell) {
        const CellFormula &formula = cell.formula();
        if (!formula.isValid() || formula.rowOffset() < 0 || formula.columnOffset() < 0 ||
            formula.formulaType() != CellFormula::NormalType)
            return;
        const auto origin =
            m_sharedOrigins.find({row - formula.rowOffset(), column - formula.columnOffset()});
        if (origin == m_sharedOrigins.end() ||
            origin->second.text != formula.originalText().constData())
            return;
        std::vector<SharedAnchor> &anchors = origin->second.anchors;
        SharedAnchor *anchor = anchorCovering(anchors, row, column);
        if (!anchor) {
            if (anchors.size() < MaxAnchorsPerOrigin)
                anchors.push_back({-1, row, column, CellRange(row, column, row, column)});
            return;
        }
        if (anchor->index < 0)
            anchor->index = m_sharedCount++;
        const CellRange &range = anchor->range;
        anchor->range = CellRange(range.firstRow(), range.firstColumn(), qMax(range.lastRow(), row),
                                  qMax(range.lastColumn(), column));
    });
}

void WorksheetWriter::writeFormula(int row, int column, const CellFormula &formula)
{
    m_xml.append("><f");
    // An anchor without copies (index -1) is an ordinary formula.
    const SharedAnchor *anchor = sharedAnchor(row, column, formula);
    if (anchor && anchor->index >= 0) {
        m_xml.append(" t=\"shared\"");
        const bool isAnchor = anchor->row == row && anchor->column == column;
        if (isAnchor)
            m_xml.append(" ref=\"").append(anchor->range.toString().toLatin1()).append('"');
        m_xml.append(" si=\"");
        m_xml.appendInteger(anchor->index);
        m_xml.append('"');
        if (!isAnchor) {
            m_xml.append("/></c>");
            return;
        }
    } else if (formula.formulaType() == CellFormula::ArrayType && formula.reference().isValid()) {
        m_xml.append(" t=\"array\" ref=\"")
            .append(formula.reference().toString().toLatin1())
            .append('"');
    }
    m_xml.append('>');
    appendXmlText(m_xml, formula.formulaText(), false);
    m_xml.append("</f></c>");
}

void WorksheetWriter::writeCell(int row, int column, int style, const Cell &cell)
{
    m_xml.append("<c r=\"").append(columnName(column)).append(m_rowNumber.view()).append('"');
    if (style != 0) {
        m_xml.append(" s=\"");
        m_xml.appendInteger(style);
        m_xml.append('"');
    }

    const CellFormula &formula = cell.formula();
    if (formula.isValid()) {
        writeFormula(row, column, formula);
        return;
    }
    if (cell.isCachedResult()) {
        m_xml.append("/>");
        return;
    }
    switch (cell.cellType()) {
    case Cell::StringType:
        m_xml.append(" t=\"s\"><v>");
        // Texts are stored as QString; reading one in place spares a copy per cell.
        m_xml.appendInteger(
            m_strings->add(cell.value().typeId() == QMetaType::QString
                               ? *static_cast<const QString *>(cell.value().constData())
                               : cell.value().toString()));
        break;
    case Cell::NumberType:
        m_xml.append("><v>");
        m_xml.appendNumber(cell.value().toDouble());
        break;
    case Cell::BooleanType:
        m_xml.append(" t=\"b\"><v>").append(cell.value().toBool() ? '1' : '0');
        break;
    case Cell::ErrorType:
        m_xml.append(" t=\"e\"><v>");
        appendXmlText(m_xml, cell.value().toString());
        break;
    case Cell::BlankType:
        m_xml.append("/>");
        return;
    }
    m_xml.append("</v></c>");
}

void WorksheetWriter::writeMergedCells()
{
    const QList<CellRange> merged = m_sheet.mergedCells();
    if (merged.isEmpty())
        return;
    m_xml.append("<mergeCells count=\"");
    m_xml.appendInteger(merged.size());
    m_xml.append("\">");
    for (const CellRange &range : merged)
        m_xml.append("<mergeCell ref=\"").append(range.toString().toLatin1()).append("\"/>");
    m_xml.append("</mergeCells>");
}

const QByteArray &WorksheetWriter::columnName(int column)
{
    while (m_columnNames.size() < column)
        m_columnNames.append(columnLetters(int(m_columnNames.size()) + 1).toLatin1());
    return m_columnNames[column - 1];
}

} // namespace QXlsx
