#include "Cell.h"

#include "DateSerial.h"

namespace QXlsx {

Cell::Cell(bool date1904)
    : m_date1904(date1904)
{ }

Cell::CellType Cell::cellType() const
{
    return m_type;
}

bool Cell::isDateTime() const
{
    return m_type == NumberType && m_format.isDateTimeFormat();
}

QVariant Cell::dateTime() const
{
    if (m_type != NumberType)
        return {};
    return datetimeFromNumber(m_value.toDouble(), m_date1904);
}

bool Cell::isCachedResult() const
{
    return m_cachedResult;
}

void Cell::setValue(const QVariant &value, CellType type)
{
    m_value = type == BlankType ? QVariant() : value;
    m_type = type;
}

void Cell::setFormat(const Format &format)
{
    m_format = format;
}

void Cell::setFormula(const CellFormula &formula)
{
    m_formula = formula;
}

void Cell::setCachedResult(bool cached)
{
    m_cachedResult = cached;
}

} // namespace QXlsx
