#include "WorksheetReader.h"

#include "CellReference.h"
#include "DateSerial.h"
#include "FormulaShifter.h"
#include "Worksheet.h"
#include "XlsxLogging.h"
#include "XmlReading.h"
#include "XmlText.h"

#include <QDateTime>
#include <QXmlStreamReader>

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

} // namespace

WorksheetReader::WorksheetReader(Worksheet *sheet, const QList<QString> &sharedStrings,
                                 const QList<Format> &cellFormats)
    : m_sheet(sheet)
    , m_sharedStrings(sharedStrings)
    , m_cellFormats(cellFormats)
{ }

bool WorksheetReader::read(QXmlStreamReader &xml)
{
    if (!xml.readNextStartElement())
        return !xml.hasError();
    while (xml.readNextStartElement()) {
        if (xml.name() == u"sheetData")
            readSheetData(xml);
        else if (xml.name() == u"mergeCells")
            readMergeCells(xml);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        return false;
    expandSharedFormulas();
    return true;
}

void WorksheetReader::readSheetData(QXmlStreamReader &xml)
{
    int row = 0;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"row") {
            xml.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringView position = attributes.value(QLatin1String("r"));
        row = position.isEmpty() ? row + 1 : parseXmlIndex(position);
        if (row < 1 || row > MaxRowCount) {
            xml.raiseError(tr("ungültige Zeilennummer"));
            return;
        }
        readRow(xml, row);
    }
}

void WorksheetReader::readRow(QXmlStreamReader &xml, int row)
{
    int column = 0;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"c") {
            xml.skipCurrentElement();
            continue;
        }
        if (!readCell(xml, row, &column))
            return;
    }
}

bool WorksheetReader::readCell(QXmlStreamReader &xml, int row, int *column)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView position = attributes.value(QLatin1String("r"));
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
    const int style = parseXmlIndex(attributes.value(QLatin1String("s")));
    const QStringView type = attributes.value(QLatin1String("t"));

    bool hasValue = false;
    QString inlineText;
    FormulaData formula;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == u"v") {
            if (!readElementText(xml))
                return false;
            hasValue = true;
        } else if (name == u"is") {
            inlineText = readRichText(xml);
        } else if (name == u"f") {
            const QXmlStreamAttributes formulaAttributes = xml.attributes();
            formula.present = true;
            formula.type = formulaAttributes.value(QLatin1String("t")).toString();
            formula.reference = formulaAttributes.value(QLatin1String("ref")).toString();
            formula.sharedIndex = parseXmlIndex(formulaAttributes.value(QLatin1String("si")));
            formula.text =
                decodeXmlEscapes(xml.readElementText(QXmlStreamReader::SkipChildElements));
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
    const Format format =
        style >= 0 && style < m_cellFormats.size() ? m_cellFormats[style] : Format();
    // Such a cell holds nothing the writer would keep; a crafted sheet of millions of bare <c/>
    // must not cost a cell each.
    if (cellType == Cell::BlankType && !formula.present && !format.isValid())
        return true;
    Cell &cell = m_sheet->cells().obtain(row, *column);
    cell.setFormat(format);
    cell.setValue(value, cellType);
    if (formula.present)
        storeFormula(cell, row, *column, formula);
    else if (cell.cellType() != Cell::BlankType && insideArrayFormula(row, *column))
        cell.setCachedResult(true);
    return true;
}

bool WorksheetReader::readElementText(QXmlStreamReader &xml)
{
    m_text.resize(0);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            m_text.append(xml.text());
            break;
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::StartElement:
            xml.skipCurrentElement();
            break;
        default:
            break;
        }
    }
    return false;
}

bool WorksheetReader::parseValue(QXmlStreamReader &xml, QStringView type, bool hasValue,
                                 const QString &inlineText, QVariant *value,
                                 Cell::CellType *cellType)
{
    const auto set = [&](const QVariant &parsed, Cell::CellType parsedType) {
        *value = parsed;
        *cellType = parsedType;
    };
    if (type == u"inlineStr") {
        set(inlineText, Cell::StringType);
        return true;
    }
    if (!hasValue) {
        set({}, Cell::BlankType);
        return true;
    }
    if (type == u"s") {
        const int index = parseXmlIndex(m_text);
        if (index < 0 || index >= m_sharedStrings.size()) {
            xml.raiseError(tr("Verweis auf einen fehlenden gemeinsamen Text"));
            return false;
        }
        set(m_sharedStrings[index], Cell::StringType);
    } else if (type == u"str") {
        set(decodeXmlEscapes(m_text), Cell::StringType);
    } else if (type == u"b") {
        set(parseXmlBool(m_text), Cell::BooleanType);
    } else if (type == u"e") {
        set(m_text.trimmed(), Cell::ErrorType);
    } else if (type == u"d") {
        const std::optional<double> serial =
            toSerialNumber(isoDateTime(m_text), m_sheet->isDate1904());
        if (!serial) {
            xml.raiseError(tr("ungültiges Datum"));
            return false;
        }
        set(*serial, Cell::NumberType);
    } else if (m_text.trimmed().isEmpty()) {
        set({}, Cell::BlankType);
    } else {
        const std::optional<double> number = parseXmlNumber(m_text);
        if (!number) {
            xml.raiseError(tr("ungültige Zahl"));
            return false;
        }
        set(*number, Cell::NumberType);
    }
    return true;
}

void WorksheetReader::storeFormula(Cell &cell, int row, int column, const FormulaData &formula)
{
    const bool hasResult = cell.cellType() != Cell::BlankType;
    if (formula.type == u"shared") {
        if (!formula.text.isEmpty()) {
            m_sharedFormulas.insert(formula.sharedIndex, {row, column, formula.text});
            cell.setFormula(CellFormula(formula.text));
        } else {
            m_sharedFormulaUses.push_back({row, column, formula.sharedIndex});
        }
    } else if (formula.type == u"array") {
        const CellRange range = CellRange::fromString(formula.reference);
        cell.setFormula(CellFormula(formula.text, CellFormula::ArrayType, range));
        // A single-cell range covers only this cell, marked below; keeping it would make every
        // later cell scan one more range.
        if (range.rowCount() * qint64(range.columnCount()) > 1)
            m_arrayRanges.append(range);
    } else if (formula.type == u"dataTable") {
        return; // what-if tables keep their values; their definition is not carried over
    } else {
        cell.setFormula(CellFormula(formula.text));
    }
    cell.setCachedResult(hasResult);
}

void WorksheetReader::readMergeCells(QXmlStreamReader &xml)
{
    QList<CellRange> ranges;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"mergeCell") {
            const CellRange range =
                CellRange::fromString(xml.attributes().value(QLatin1String("ref")));
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
        if (master == m_sharedFormulas.constEnd()) {
            qCWarning(lcXlsx) << "A shared formula refers to a missing master formula";
            // Without a formula the recorded result is all the cell has left.
            m_sheet->cells().obtain(use.row, use.column).setCachedResult(false);
            continue;
        }
        Cell &cell = m_sheet->cells().obtain(use.row, use.column);
        cell.setFormula(CellFormula(
            shiftFormula(master->text, use.row - master->row, use.column - master->column)));
    }
}

bool WorksheetReader::insideArrayFormula(int row, int column) const
{
    for (const CellRange &range : m_arrayRanges)
        if (range.contains(row, column))
            return true;
    return false;
}

} // namespace QXlsx
