#include "Worksheet.h"

#include "CellReference.h"
#include "DateSerial.h"
#include "FormatPool.h"

#include <cmath>

namespace QXlsx {

namespace {

const QString TextFormat = QStringLiteral("@");
// The widest column and the highest row a spreadsheet program shows.
constexpr double MaxColumnWidth = 255;
constexpr double MaxRowHeight = 409;

// What a written value becomes in the cell.
struct StoredValue
{
    bool storable = true;
    Cell::CellType type = Cell::BlankType;
    QVariant value;
    CellFormula formula;
    QString dateFormat; // the number format a date needs when the cell has no date format
};

// The number format given to a date, time or date-time written into a cell without one.
QString defaultDateFormat(int typeId)
{
    switch (typeId) {
    case QMetaType::QDate:
        return QStringLiteral("yyyy-mm-dd");
    case QMetaType::QTime:
        return QStringLiteral("hh:mm:ss");
    default:
        return QStringLiteral("yyyy-mm-dd hh:mm:ss");
    }
}

StoredValue storedText(const QString &text, const Format &format)
{
    StoredValue stored;
    if (text.isEmpty())
        return stored;
    if (text.size() > Worksheet::MaxTextLength) {
        stored.storable = false;
    } else if (text.size() > 1 && text.front() == u'=' && format.numberFormat() != TextFormat) {
        stored.formula = CellFormula(text.mid(1));
    } else {
        stored.type = Cell::StringType;
        stored.value = text;
    }
    return stored;
}

StoredValue storedValue(const QVariant &value, const Format &format, bool date1904)
{
    StoredValue stored;
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return stored;
    case QMetaType::Bool:
        stored.type = Cell::BooleanType;
        stored.value = value.toBool();
        return stored;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        stored.storable = std::isfinite(number);
        stored.type = Cell::NumberType;
        stored.value = number;
        return stored;
    }
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime: {
        const std::optional<double> serial = toSerialNumber(value, date1904);
        stored.storable = serial.has_value();
        stored.type = Cell::NumberType;
        stored.value = serial.value_or(0);
        stored.dateFormat = defaultDateFormat(value.metaType().id());
        return stored;
    }
    default:
        if (!value.canConvert<QString>()) {
            stored.storable = false;
            return stored;
        }
        return storedText(value.toString(), format);
    }
}

Worksheet::Outline bounded(Worksheet::Outline outline)
{
    outline.level = qBound(0, outline.level, Worksheet::Outline::MaxLevel);
    return outline;
}

// A size the file gives, or 0 for none.
double givenSize(double size, double limit)
{
    return std::isfinite(size) && size > 0 ? qMin(size, limit) : 0;
}

} // namespace

Worksheet::Worksheet(const QString &name, bool date1904, FormatPool *formats)
    : m_name(name)
    , m_date1904(date1904)
    , m_formats(formats)
    , m_cells(date1904)
{ }

Worksheet::Worksheet(const Worksheet &other, FormatPool *formats)
    : m_name(other.m_name)
    , m_date1904(other.m_date1904)
    , m_formats(formats)
    , m_cells(other.m_cells)
    , m_mergedCells(other.m_mergedCells)
    , m_state(other.m_state)
    , m_columnWidths(other.m_columnWidths)
    , m_rowHeights(other.m_rowHeights)
    , m_rowOutlines(other.m_rowOutlines)
    , m_columnOutlines(other.m_columnOutlines)
    , m_summaryRowsBelow(other.m_summaryRowsBelow)
    , m_summaryColumnsRight(other.m_summaryColumnsRight)
    , m_defaults(other.m_defaults)
    , m_frozenRows(other.m_frozenRows)
    , m_frozenColumns(other.m_frozenColumns)
    , m_plainDateFormats(other.m_plainDateFormats)
{ }

QString Worksheet::sheetName() const
{
    return m_name;
}

CellRange Worksheet::dimension() const
{
    return m_cells.dimension();
}

const Cell *Worksheet::cellAt(int row, int column) const
{
    return m_cells.find(row, column);
}

QVariant Worksheet::read(int row, int column) const
{
    const Cell *cell = cellAt(row, column);
    if (!cell)
        return {};
    if (cell->formula().isValid())
        return QString(u'=' + cell->formula().formulaText());
    if (cell->isDateTime()) {
        const QVariant dateTime = cell->dateTime();
        if (dateTime.isValid())
            return dateTime;
    }
    return cell->value();
}

bool Worksheet::write(int row, int column, const QVariant &value, const Format &format)
{
    if (!CellReference(row, column).isValid())
        return false;
    Cell &cell = m_cells.obtain(row, column);
    if (format.isValid())
        cell.setFormat(m_formats->intern(format));
    const StoredValue stored = storedValue(value, cell.format(), m_date1904);
    cell.setCachedResult(false);
    if (!stored.storable) {
        cell.setValue({}, Cell::BlankType);
        cell.setFormula({});
        return false;
    }
    if (!stored.dateFormat.isEmpty() && !cell.format().isDateTimeFormat())
        cell.setFormat(datedFormat(cell.format(), stored.dateFormat));
    cell.setValue(stored.value, stored.type);
    cell.setFormula(stored.formula);
    return true;
}

Format Worksheet::datedFormat(const Format &format, const QString &code)
{
    // Most dates go into cells without a style of their own; their format is made once.
    Format *cached = nullptr;
    if (!format.isValid()) {
        cached = &m_plainDateFormats[code];
        if (cached->isValid())
            return *cached;
    }
    Format dated = format;
    dated.setNumberFormat(code);
    dated = m_formats->intern(dated);
    if (cached)
        *cached = dated;
    return dated;
}

QList<CellRange> Worksheet::mergedCells() const
{
    return m_mergedCells;
}

void Worksheet::setMergedCells(const QList<CellRange> &ranges)
{
    m_mergedCells = ranges;
}

Worksheet::SheetState Worksheet::sheetState() const
{
    return m_state;
}

void Worksheet::setSheetState(SheetState state)
{
    m_state = state;
}

double Worksheet::columnWidth(int column) const
{
    const auto it = m_columnWidths.find(column);
    return it == m_columnWidths.end() ? 0 : it->second;
}

void Worksheet::setColumnWidth(int first, int last, double width)
{
    first = qMax(first, 1);
    last = qMin(last, MaxColumnCount);
    const bool valid = std::isfinite(width) && width > 0;
    for (int column = first; column <= last; ++column) {
        if (valid)
            m_columnWidths[column] = qMin(width, MaxColumnWidth);
        else
            m_columnWidths.erase(column);
    }
}

double Worksheet::rowHeight(int row) const
{
    const auto it = m_rowHeights.find(row);
    return it == m_rowHeights.end() ? 0 : it->second;
}

void Worksheet::setRowHeight(int row, double height)
{
    if (row < 1 || row > MaxRowCount)
        return;
    if (std::isfinite(height) && height > 0)
        m_rowHeights[row] = qMin(height, MaxRowHeight);
    else
        m_rowHeights.erase(row);
}

void Worksheet::setRowOutline(int row, const Outline &outline)
{
    if (row < 1 || row > MaxRowCount)
        return;
    if (outline.isDefault())
        m_rowOutlines.erase(row);
    else
        m_rowOutlines[row] = bounded(outline);
}

void Worksheet::setColumnOutline(int first, int last, const Outline &outline)
{
    first = qMax(first, 1);
    last = qMin(last, MaxColumnCount);
    for (int column = first; column <= last; ++column) {
        if (outline.isDefault())
            m_columnOutlines.erase(column);
        else
            m_columnOutlines[column] = bounded(outline);
    }
}

bool Worksheet::summaryRowsBelow() const
{
    return m_summaryRowsBelow;
}

bool Worksheet::summaryColumnsRight() const
{
    return m_summaryColumnsRight;
}

void Worksheet::setOutlineSummary(bool rowsBelow, bool columnsRight)
{
    m_summaryRowsBelow = rowsBelow;
    m_summaryColumnsRight = columnsRight;
}

Worksheet::Defaults Worksheet::defaults() const
{
    return m_defaults;
}

void Worksheet::setDefaults(const Defaults &defaults)
{
    m_defaults.rowHeight = givenSize(defaults.rowHeight, MaxRowHeight);
    m_defaults.customRowHeight = defaults.customRowHeight;
    m_defaults.columnWidth = givenSize(defaults.columnWidth, MaxColumnWidth);
    m_defaults.baseColumnWidth = qBound(0, defaults.baseColumnWidth, int(MaxColumnWidth));
}

int Worksheet::frozenRows() const
{
    return m_frozenRows;
}

int Worksheet::frozenColumns() const
{
    return m_frozenColumns;
}

void Worksheet::setFrozenPane(int rows, int columns)
{
    // A pane must leave at least one row and column to scroll.
    m_frozenRows = qBound(0, rows, MaxRowCount - 1);
    m_frozenColumns = qBound(0, columns, MaxColumnCount - 1);
}

bool Worksheet::isDate1904() const
{
    return m_date1904;
}

} // namespace QXlsx
