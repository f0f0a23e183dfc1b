#include "WorksheetReader.h"

#include "CellReference.h"
#include "ColumnCounts.h"
#include "DateSerial.h"
#include "RangeOverlap.h"
#include "Worksheet.h"
#include "XlsxLogging.h"
#include "XmlPullReader.h"
#include "XmlReading.h"
#include "XmlText.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <queue>

namespace QXlsx {

namespace {

// An ISO 8601 date, time or date-time of a cell of type "d".
QVariant isoDateTime(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.contains(u'T')) {
        QDateTime dateTime = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
        return dateTime.isValid() ? QVariant(dateTime) : QVariant();
    }
    if (trimmed.contains(u':')) {
        const QTime time = QTime::fromString(trimmed, Qt::ISODateWithMs);
        return time.isValid() ? QVariant(time) : QVariant();
    }
    const QDate date = QDate::fromString(trimmed, Qt::ISODate);
    return date.isValid() ? QVariant(date) : QVariant();
}

// A count of a pane split or similar, read as a whole number within [0, limit].
int boundedCount(QByteArrayView text, int limit)
{
    const double value = parseXmlNumber(text).value_or(0);
    return int(std::floor(qBound(0.0, value, double(limit))));
}

// A boolean attribute, or the given default when the attribute is missing.
bool boolOr(QByteArrayView text, bool otherwise)
{
    return text.isEmpty() ? otherwise : parseXmlBool(text);
}

// Whether the row or column element the reader is on is hidden, grouped or collapsed.
Worksheet::Outline outlineOf(const XmlPullReader &xml)
{
    Worksheet::Outline outline;
    outline.hidden = parseXmlBool(xml.attribute("hidden"));
    outline.level = boundedCount(xml.attribute("outlineLevel"), Worksheet::Outline::MaxLevel);
    outline.collapsed = parseXmlBool(xml.attribute("collapsed"));
    return outline;
}

// Which columns of the current row lie inside array formula ranges, so that marking the cells
// of a sheet costs a logarithm per cell however many ranges there are.
class ColumnCoverage
{
public:
    void add(const CellRange &range, int delta)
    {
        m_counts.add(range.firstColumn(), delta);
        m_counts.add(range.lastColumn() + 1, -delta);
    }

    bool covers(int column) const { return m_counts.sumUpTo(column) > 0; }

private:
    ColumnCounts m_counts; // ranges starting minus ranges ended, by column
};

} // namespace

WorksheetReader::WorksheetReader(Worksheet *sheet, const QList<QString> &sharedStrings,
                                 const QList<Format> &cellFormats)
    : m_sheet(sheet)
    , m_sharedStrings(sharedStrings)
    , m_cellFormats(cellFormats)
{ }

bool WorksheetReader::read(XmlPullReader &xml)
{
    if (!xml.readNextStartElement())
        return !xml.hasError();
    while (xml.readNextStartElement()) {
        const QByteArrayView name = xml.name();
        if (sameBytes(name, "sheetData"))
            readSheetData(xml);
        else if (sameBytes(name, "sheetPr"))
            readSheetProperties(xml);
        else if (sameBytes(name, "sheetFormatPr"))
            readSheetFormat(xml);
        else if (sameBytes(name, "cols"))
            readColumns(xml);
        else if (sameBytes(name, "sheetViews"))
            readSheetViews(xml);
        else if (sameBytes(name, "mergeCells"))
            readMergeCells(xml);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        return false;
    expandSharedFormulas();
    markArrayResults();
    return true;
}

void WorksheetReader::readSheetData(XmlPullReader &xml)
{
    int row = 0;
    while (xml.readNextStartElement()) {
        if (!sameBytes(xml.name(), "row")) {
            xml.skipCurrentElement();
            continue;
        }
        const QByteArrayView position = xml.attribute("r");
        row = position.isEmpty() ? row + 1 : parseXmlIndex(position);
        if (row < 1 || row > MaxRowCount) {
            xml.raiseError(tr("ungültige Zeilennummer"));
            return;
        }
        // Only a height the user set; other heights follow from the row's contents.
        if (parseXmlBool(xml.attribute("customHeight")))
            m_sheet->setRowHeight(row, parseXmlNumber(xml.attribute("ht")).value_or(0));
        if (const Worksheet::Outline outline = outlineOf(xml); !outline.isDefault())
            m_sheet->setRowOutline(row, outline);
        readRow(xml, row);
    }
}

void WorksheetReader::readRow(XmlPullReader &xml, int row)
{
    int column = 0;
    while (xml.readNextStartElement()) {
        if (!sameBytes(xml.name(), "c")) {
            xml.skipCurrentElement();
            continue;
        }
        if (!readCell(xml, row, &column))
            return;
    }
}

bool WorksheetReader::readCell(XmlPullReader &xml, int row, int *column)
{
    const QByteArrayView position = xml.attribute("r");
    if (position.isEmpty()) {
        ++*column;
    } else {
        const CellReference reference = CellReference::fromString(position);
        if (!reference.isValid() || reference.row() != row) {
            xml.raiseError(tr("ungültige Zellposition"));
            return false;
        }
        *column = reference.column();
    }
    if (*column > MaxColumnCount) {
        xml.raiseError(tr("ungültige Zellposition"));
        return false;
    }
    if (row < m_lastRow || (row == m_lastRow && *column <= m_lastColumn))
        m_inSheetOrder = false;
    m_lastRow = row;
    m_lastColumn = *column;
    const int style = parseXmlIndex(xml.attribute("s"));
    const QByteArrayView typeName = xml.attribute("t");
    ValueType type = ValueType::Number;
    if (sameBytes(typeName, "s"))
        type = ValueType::SharedString;
    else if (sameBytes(typeName, "inlineStr"))
        type = ValueType::InlineString;
    else if (sameBytes(typeName, "str"))
        type = ValueType::FormulaString;
    else if (sameBytes(typeName, "b"))
        type = ValueType::Boolean;
    else if (sameBytes(typeName, "e"))
        type = ValueType::Error;
    else if (sameBytes(typeName, "d"))
        type = ValueType::Date;

    bool hasValue = false;
    QString inlineText;
    FormulaData formula;
    while (xml.readNextStartElement()) {
        const QByteArrayView name = xml.name();
        if (sameBytes(name, "v")) {
            m_text.clear();
            if (!xml.readElementText(&m_text, maxUtf8Bytes(Worksheet::MaxTextLength)))
                return false;
            hasValue = true;
        } else if (sameBytes(name, "is")) {
            if (!readRichText(xml, Worksheet::MaxTextLength, &inlineText))
                return false;
        } else if (sameBytes(name, "f")) {
            if (!readFormula(xml, &formula))
                return false;
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return false;

    QVariant value;
    Cell::CellType cellType = Cell::BlankType;
    if (!parseValue(xml, type, hasValue, inlineText, &value, &cellType))
        return false;
    static const Format noFormat;
    const Format &format =
        style >= 0 && style < m_cellFormats.size() ? m_cellFormats.at(style) : noFormat;
    // Such a cell holds nothing the writer would keep; a crafted sheet of millions of bare <c/>
    // must not cost a cell each.
    if (cellType == Cell::BlankType && !formula.present && !format.isValid())
        return true;
    Cell &cell = m_sheet->cells().obtain(row, *column);
    cell.setFormat(format);
    cell.setValue(value, cellType);
    if (formula.present)
        storeFormula(cell, row, *column, formula);
    return true;
}

bool WorksheetReader::readFormula(XmlPullReader &xml, FormulaData *formula)
{
    formula->present = true;
    const QByteArrayView kind = xml.attribute("t");
    if (sameBytes(kind, "shared"))
        formula->kind = FormulaData::Shared;
    else if (sameBytes(kind, "array"))
        formula->kind = FormulaData::Array;
    else if (sameBytes(kind, "dataTable"))
        formula->kind = FormulaData::DataTable;
    formula->sharedIndex = parseXmlIndex(xml.attribute("si"));
    formula->reference = CellRange::fromString(QString::fromLatin1(xml.attribute("ref")));
    m_formulaText.clear();
    if (!xml.readElementText(&m_formulaText, maxUtf8Bytes(Worksheet::MaxTextLength)))
        return false;
    // Formula text is taken literally: "_x0041_" in a formula is those seven characters.
    formula->text = QString::fromUtf8(m_formulaText.view());
    if (formula->text.size() > Worksheet::MaxTextLength) {
        xml.raiseError(tr("Formel mit mehr als %1 Zeichen").arg(Worksheet::MaxTextLength));
        return false;
    }
    return true;
}

bool WorksheetReader::parseValue(XmlPullReader &xml, ValueType type, bool hasValue,
                                 const QString &inlineText, QVariant *value,
                                 Cell::CellType *cellType)
{
    const auto set = [&](const QVariant &parsed, Cell::CellType parsedType) {
        *value = parsed;
        *cellType = parsedType;
    };
    if (type == ValueType::InlineString) {
        set(inlineText, Cell::StringType);
        return true;
    }
    if (!hasValue) {
        set({}, Cell::BlankType);
        return true;
    }
    switch (type) {
    case ValueType::SharedString: {
        const int index = parseXmlIndex(m_text.view());
        if (index < 0 || index >= m_sharedStrings.size()) {
            xml.raiseError(tr("Verweis auf einen fehlenden gemeinsamen Text"));
            return false;
        }
        set(m_sharedStrings[index], Cell::StringType);
        return true;
    }
    case ValueType::FormulaString: {
        const QString text = decodeXmlEscapes(QString::fromUtf8(m_text.view()));
        if (text.size() > Worksheet::MaxTextLength) {
            xml.raiseError(tr("Text mit mehr als %1 Zeichen").arg(Worksheet::MaxTextLength));
            return false;
        }
        set(text, Cell::StringType);
        return true;
    }
    case ValueType::Boolean:
        set(parseXmlBool(m_text.view()), Cell::BooleanType);
        return true;
    case ValueType::Error:
        set(QString::fromUtf8(m_text.view().trimmed()), Cell::ErrorType);
        return true;
    case ValueType::Date: {
        const std::optional<double> serial =
            toSerialNumber(isoDateTime(QString::fromUtf8(m_text.view())), m_sheet->isDate1904());
        if (!serial) {
            xml.raiseError(tr("ungültiges Datum"));
            return false;
        }
        set(*serial, Cell::NumberType);
        return true;
    }
    case ValueType::Number:
    case ValueType::InlineString:
        break;
    }
    if (m_text.view().trimmed().isEmpty()) {
        set({}, Cell::BlankType);
        return true;
    }
    const std::optional<double> number = parseXmlNumber(m_text.view());
    if (!number) {
        xml.raiseError(tr("ungültige Zahl"));
        return false;
    }
    set(*number, Cell::NumberType);
    return true;
}

void WorksheetReader::storeFormula(Cell &cell, int row, int column, const FormulaData &formula)
{
    const bool hasResult = cell.cellType() != Cell::BlankType;
    switch (formula.kind) {
    case FormulaData::Shared:
        if (!formula.text.isEmpty()) {
            m_sharedFormulas.insert(formula.sharedIndex, {row, column, formula.text});
            cell.setFormula(CellFormula(formula.text));
        } else {
            m_sharedFormulaUses.push_back({row, column, formula.sharedIndex});
        }
        break;
    case FormulaData::Array:
        cell.setFormula(CellFormula(formula.text, CellFormula::ArrayType, formula.reference));
        // A single-cell range covers only this cell, which holds the formula itself.
        if (formula.reference.rowCount() * qint64(formula.reference.columnCount()) > 1)
            m_arrayFormulas.push_back({formula.reference, row, column, m_inSheetOrder});
        break;
    case FormulaData::DataTable:
        return; // what-if tables keep their values; their definition is not carried over
    case FormulaData::Normal:
        cell.setFormula(CellFormula(formula.text));
        break;
    }
    cell.setCachedResult(hasResult);
}

void WorksheetReader::readColumns(XmlPullReader &xml)
{
    while (xml.readNextStartElement()) {
        if (sameBytes(xml.name(), "col")) {
            const int first = parseXmlIndex(xml.attribute("min"));
            const int last = parseXmlIndex(xml.attribute("max"));
            const std::optional<double> width = parseXmlNumber(xml.attribute("width"));
            if (first >= 1 && last >= first && width)
                m_sheet->setColumnWidth(first, last, *width);
            if (const Worksheet::Outline outline = outlineOf(xml);
                first >= 1 && last >= first && !outline.isDefault())
                m_sheet->setColumnOutline(first, last, outline);
        }
        xml.skipCurrentElement();
    }
}

void WorksheetReader::readSheetProperties(XmlPullReader &xml)
{
    while (xml.readNextStartElement()) {
        if (sameBytes(xml.name(), "outlinePr"))
            m_sheet->setOutlineSummary(boolOr(xml.attribute("summaryBelow"), true),
                                       boolOr(xml.attribute("summaryRight"), true));
        xml.skipCurrentElement();
    }
}

void WorksheetReader::readSheetFormat(XmlPullReader &xml)
{
    Worksheet::Defaults defaults;
    defaults.rowHeight = parseXmlNumber(xml.attribute("defaultRowHeight")).value_or(0);
    defaults.customRowHeight = parseXmlBool(xml.attribute("customHeight"));
    defaults.columnWidth = parseXmlNumber(xml.attribute("defaultColWidth")).value_or(0);
    defaults.baseColumnWidth = parseXmlIndex(xml.attribute("baseColWidth"));
    m_sheet->setDefaults(defaults);
    xml.skipCurrentElement();
}

void WorksheetReader::readSheetViews(XmlPullReader &xml)
{
    bool firstView = true;
    while (xml.readNextStartElement()) {
        if (!sameBytes(xml.name(), "sheetView") || !firstView) {
            xml.skipCurrentElement();
            continue;
        }
        firstView = false;
        while (xml.readNextStartElement()) {
            const QByteArrayView state = xml.attribute("state");
            // A split that is not frozen is a window arrangement, not part of the sheet.
            if (sameBytes(xml.name(), "pane") &&
                (sameBytes(state, "frozen") || sameBytes(state, "frozenSplit")))
                m_sheet->setFrozenPane(boundedCount(xml.attribute("ySplit"), MaxRowCount),
                                       boundedCount(xml.attribute("xSplit"), MaxColumnCount));
            xml.skipCurrentElement();
        }
    }
}

void WorksheetReader::readMergeCells(XmlPullReader &xml)
{
    QList<CellRange> ranges;
    while (xml.readNextStartElement()) {
        if (sameBytes(xml.name(), "mergeCell")) {
            const CellRange range =
                CellRange::fromString(QString::fromLatin1(xml.attribute("ref")));
            if (range.isValid())
                ranges.append(range);
            else
                qCWarning(lcXlsx) << "Skipping an invalid merged range";
        }
        xml.skipCurrentElement();
    }
    m_sheet->setMergedCells(m_sheet->mergedCells() + ranges);
}

void WorksheetReader::expandSharedFormulas()
{
    for (const SharedFormulaUse &use : m_sharedFormulaUses) {
        const auto master = m_sharedFormulas.constFind(use.index);
        Cell &cell = m_sheet->cells().obtain(use.row, use.column);
        if (master == m_sharedFormulas.constEnd()) {
            qCWarning(lcXlsx) << "A shared formula refers to a missing master formula";
            // Without a formula the recorded result is all the cell has left.
            cell.setCachedResult(false);
            continue;
        }
        cell.setFormula(
            CellFormula::moved(master->text, use.row - master->row, use.column - master->column));
    }
}

void WorksheetReader::markArrayResults()
{
    // Cells inside an array formula's range hold its recorded results, not data of their own,
    // but only where the file leaves no doubt: the range starts at the formula's own cell,
    // overlaps no other range, and every cell in it came after the formula. Cells read before
    // the first one out of sheet order came before every cell right and below of them; for a
    // formula read after that the order is unknown. Where there is doubt, a value is kept as
    // data: dropping it would lose it without a word.
    std::vector<CellRange> ranges;
    std::vector<size_t> formulaOf;
    for (size_t i = 0; i < m_arrayFormulas.size(); ++i) {
        const ArrayFormula &formula = m_arrayFormulas[i];
        if (formula.inSheetOrder && formula.range.firstRow() == formula.row &&
            formula.range.firstColumn() == formula.column) {
            ranges.push_back(formula.range);
            formulaOf.push_back(i);
        }
    }
    const std::vector<bool> free = overlapFree(ranges);
    std::vector<CellRange> results;
    std::vector<bool> keepsRange(m_arrayFormulas.size(), false);
    for (size_t i = 0; i < ranges.size(); ++i) {
        if (free[i])
            results.push_back(ranges[i]);
        keepsRange[formulaOf[i]] = free[i];
    }
    // A formula whose range is not its own fills only its own cell, so that the copy does not
    // claim the cells whose values it keeps.
    for (size_t i = 0; i < m_arrayFormulas.size(); ++i) {
        const ArrayFormula &formula = m_arrayFormulas[i];
        if (keepsRange[i] || !formula.inSheetOrder)
            continue;
        Cell &cell = m_sheet->cells().obtain(formula.row, formula.column);
        if (cell.formula().formulaType() != CellFormula::ArrayType ||
            cell.formula().reference() != formula.range)
            continue;
        qCWarning(lcXlsx) << "An array formula's range is not its own; its cells keep their values";
        cell.setFormula(
            CellFormula(cell.formula().formulaText(), CellFormula::ArrayType,
                        CellRange(formula.row, formula.column, formula.row, formula.column)));
    }
    if (results.empty())
        return;
    // One sweep over the rows, adding each range when its first row is reached and removing it
    // after its last.
    std::sort(results.begin(), results.end(),
              [](const CellRange &a, const CellRange &b) { return a.firstRow() < b.firstRow(); });
    const auto endsLater = [](const CellRange &a, const CellRange &b) {
        return a.lastRow() > b.lastRow();
    };
    std::priority_queue<CellRange, std::vector<CellRange>, decltype(endsLater)> active(endsLater);
    ColumnCoverage coverage;
    size_t next = 0;
    int currentRow = 0;
    m_sheet->cells().forEachCell([&](int row, int column, Cell &cell) {
        if (row != currentRow) {
            currentRow = row;
            while (!active.empty() && active.top().lastRow() < row) {
                coverage.add(active.top(), -1);
                active.pop();
            }
            for (; next < results.size() && results[next].firstRow() <= row; ++next) {
                if (results[next].lastRow() < row)
                    continue;
                coverage.add(results[next], 1);
                active.push(results[next]);
            }
        }
        if (!cell.formula().isValid() && cell.cellType() != Cell::BlankType &&
            coverage.covers(column))
            cell.setCachedResult(true);
    });
}

} // namespace QXlsx
