#include "CellRange.h"

#include "CellReference.h"

namespace QXlsx {

CellRange::CellRange(int firstRow, int firstColumn, int lastRow, int lastColumn)
    : m_firstRow(firstRow)
    , m_firstColumn(firstColumn)
    , m_lastRow(lastRow)
    , m_lastColumn(lastColumn)
{ }

CellRange CellRange::fromString(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    const CellReference first = CellReference::fromString(colon < 0 ? text : text.left(colon));
    const CellReference last = colon < 0 ? first : CellReference::fromString(text.mid(colon + 1));
    if (!first.isValid() || !last.isValid())
        return {};
    const CellRange range(first.row(), first.column(), last.row(), last.column());
    return range.isValid() ? range : CellRange();
}

bool CellRange::isValid() const
{
    return CellReference(m_firstRow, m_firstColumn).isValid() &&
        CellReference(m_lastRow, m_lastColumn).isValid() && m_firstRow <= m_lastRow &&
        m_firstColumn <= m_lastColumn;
}

bool CellRange::contains(int row, int column) const
{
    return isValid() && row >= m_firstRow && row <= m_lastRow && column >= m_firstColumn &&
        column <= m_lastColumn;
}

QString CellRange::toString() const
{
    if (!isValid())
        return {};
    const QString first = CellReference(m_firstRow, m_firstColumn).toString();
    if (m_firstRow == m_lastRow && m_firstColumn == m_lastColumn)
        return first;
    return first + u':' + CellReference(m_lastRow, m_lastColumn).toString();
}

} // namespace QXlsx
