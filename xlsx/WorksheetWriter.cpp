#include "WorksheetWriter.h"

#include "CellReference.h"
#include "CellTable.h"
#include "SharedStringTable.h"
#include "StyleTable.h"
#include "Worksheet.h"
#include "XlsxNamespaces.h"
#include "XmlText.h"

#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>

namespace QXlsx {

namespace {

// Whole numbers are written as integers; everything else as the shortest text that reads back
// as the same double.
QString numberText(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
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

void WorksheetWriter::write(QXmlStreamWriter &xml)
{
    xml.writeStartElement(QStringLiteral("worksheet"));
    xml.writeDefaultNamespace(MainNamespace);
    xml.writeNamespace(RelationshipsNamespace, QStringLiteral("r"));
    xml.writeEmptyElement(QStringLiteral("dimension"));
    const CellRange dimension = m_sheet.dimension();
    xml.writeAttribute(QStringLiteral("ref"),
                       dimension.isValid() ? dimension.toString() : QStringLiteral("A1"));

    xml.writeStartElement(QStringLiteral("sheetData"));
    int openRow = 0;
    QString rowText;
    for (const CellTable::Entry &entry : m_sheet.cells().inOrder()) {
        const int style = m_styles->styleIndex(entry.cell->format());
        if (style == 0 && !hasContent(*entry.cell))
            continue; // a cell without value, formula or style says nothing
        if (entry.row != openRow) {
            if (openRow != 0)
                xml.writeEndElement();
            openRow = entry.row;
            rowText = QString::number(openRow);
            xml.writeStartElement(QStringLiteral("row"));
            xml.writeAttribute(QStringLiteral("r"), rowText);
        }
        writeCell(xml, columnName(entry.column) + rowText, style, *entry.cell);
    }
    if (openRow != 0)
        xml.writeEndElement();
    xml.writeEndElement(); // sheetData

    const QList<CellRange> merged = m_sheet.mergedCells();
    if (!merged.isEmpty()) {
        xml.writeStartElement(QStringLiteral("mergeCells"));
        xml.writeAttribute(QStringLiteral("count"), QString::number(merged.size()));
        for (const CellRange &range : merged) {
            xml.writeEmptyElement(QStringLiteral("mergeCell"));
            xml.writeAttribute(QStringLiteral("ref"), range.toString());
        }
        xml.writeEndElement();
    }
    xml.writeEndElement(); // worksheet
}

void WorksheetWriter::writeCell(QXmlStreamWriter &xml, const QString &reference, int style,
                                const Cell &cell)
{
    xml.writeStartElement(QStringLiteral("c"));
    xml.writeAttribute(QStringLiteral("r"), reference);
    if (style != 0)
        xml.writeAttribute(QStringLiteral("s"), QString::number(style));

    const CellFormula formula = cell.formula();
    if (formula.isValid()) {
        xml.writeStartElement(QStringLiteral("f"));
        if (formula.formulaType() == CellFormula::ArrayType && formula.reference().isValid()) {
            xml.writeAttribute(QStringLiteral("t"), QStringLiteral("array"));
            xml.writeAttribute(QStringLiteral("ref"), formula.reference().toString());
        }
        xml.writeCharacters(formula.formulaText());
        xml.writeEndElement();
    } else if (!cell.isCachedResult()) {
        QString value;
        switch (cell.cellType()) {
        case Cell::StringType:
            xml.writeAttribute(QStringLiteral("t"), QStringLiteral("s"));
            value = QString::number(m_strings->add(cell.value().toString()));
            break;
        case Cell::NumberType:
            value = numberText(cell.value().toDouble());
            break;
        case Cell::BooleanType:
            xml.writeAttribute(QStringLiteral("t"), QStringLiteral("b"));
            value = cell.value().toBool() ? QStringLiteral("1") : QStringLiteral("0");
            break;
        case Cell::ErrorType:
            xml.writeAttribute(QStringLiteral("t"), QStringLiteral("e"));
            value = encodeXmlEscapes(cell.value().toString());
            break;
        case Cell::BlankType:
            break;
        }
        if (!value.isEmpty())
            xml.writeTextElement(QStringLiteral("v"), value);
    }
    xml.writeEndElement();
}

const QString &WorksheetWriter::columnName(int column)
{
    while (m_columnNames.size() < column)
        m_columnNames.append(columnLetters(int(m_columnNames.size()) + 1));
    return m_columnNames[column - 1];
}

} // namespace QXlsx
