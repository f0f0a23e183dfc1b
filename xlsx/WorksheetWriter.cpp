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

namespace QXlsx {

namespace {

// The size of the pieces handed to the sink.
constexpr qsizetype PieceSize = 1 << 20;

void appendInteger(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

// Whole numbers are written as integers; everything else as the shortest text that reads back
// as the same double.
void appendNumber(QByteArray &out, double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15) {
        appendInteger(out, qint64(value));
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

// Element text: characters XML cannot hold become "_xHHHH_", markup characters entities.
void appendText(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = encodeXmlEscapes(text).toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        default:
            out.append(c);
        }
    }
}

bool hasContent(const Cell &cell)
{
    return cell.formula().isValid() ||
        (!cell.isCachedResult() && cell.cellType() != Cell::BlankType);
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
    m_xml.append("\"><dimension ref=\"");
    const CellRange dimension = m_sheet.dimension();
    m_xml.append(dimension.isValid() ? dimension.toString().toLatin1() : QByteArray("A1"));
    m_xml.append("\"/><sheetData>");

    int openRow = 0;
    bool ok = true;
    m_sheet.cells().forEachCell([&](int row, int column, const Cell &cell) {
        const int style = m_styles->styleIndex(cell.format());
        if (!ok || (style == 0 && !hasContent(cell)))
            return; // a cell without value, formula or style says nothing
        if (row != openRow) {
            if (openRow != 0)
                m_xml.append("</row>");
            ok = flush(sink, PieceSize);
            openRow = row;
            m_rowNumber.clear();
            appendInteger(m_rowNumber, row);
            m_xml.append("<row r=\"").append(m_rowNumber).append("\">");
        }
        writeCell(column, style, cell);
    });
    if (openRow != 0)
        m_xml.append("</row>");
    m_xml.append("</sheetData>");
    writeMergedCells();
    m_xml.append("</worksheet>");
    return ok && flush(sink, 0);
}

bool WorksheetWriter::flush(const Sink &sink, qsizetype threshold)
{
    if (m_xml.size() < threshold || m_xml.isEmpty())
        return true;
    const bool ok = sink(m_xml);
    m_xml.resize(0);
    return ok;
}

void WorksheetWriter::writeCell(int column, int style, const Cell &cell)
{
    m_xml.append("<c r=\"").append(columnName(column)).append(m_rowNumber).append('"');
    if (style != 0) {
        m_xml.append(" s=\"");
        appendInteger(m_xml, style);
        m_xml.append('"');
    }

    const CellFormula formula = cell.formula();
    if (formula.isValid()) {
        m_xml.append("><f");
        if (formula.formulaType() == CellFormula::ArrayType && formula.reference().isValid())
            m_xml.append(" t=\"array\" ref=\"")
                .append(formula.reference().toString().toLatin1())
                .append('"');
        m_xml.append('>');
        appendText(m_xml, formula.formulaText());
        m_xml.append("</f></c>");
        return;
    }
    if (cell.isCachedResult()) {
        m_xml.append("/>");
        return;
    }
    switch (cell.cellType()) {
    case Cell::StringType:
        m_xml.append(" t=\"s\"><v>");
        appendInteger(m_xml, m_strings->add(cell.value().toString()));
        break;
    case Cell::NumberType:
        m_xml.append("><v>");
        appendNumber(m_xml, cell.value().toDouble());
        break;
    case Cell::BooleanType:
        m_xml.append(" t=\"b\"><v>").append(cell.value().toBool() ? '1' : '0');
        break;
    case Cell::ErrorType:
        m_xml.append(" t=\"e\"><v>");
        appendText(m_xml, cell.value().toString());
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
    appendInteger(m_xml, merged.size());
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
