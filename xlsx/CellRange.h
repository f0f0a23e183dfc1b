#pragma once

#include <QString>
#include <QStringView>

namespace QXlsx {

// A rectangle of cells such as "B2:C3", 1-based and inclusive. The default range is invalid
// and reports 0 for every bound, so an empty sheet has 0 rows and 0 columns.
class CellRange
{
public:
    CellRange() = default;
    CellRange(int firstRow, int firstColumn, int lastRow, int lastColumn);

    // Accepts "A1:C3", "$A$1:$C$3" and a single cell "B2"; anything else is invalid.
    static CellRange fromString(QStringView text);

    bool isValid() const;
    int firstRow() const { return m_firstRow; }
    int lastRow() const { return m_lastRow; }
    int firstColumn() const { return m_firstColumn; }
    int lastColumn() const { return m_lastColumn; }
    int rowCount() const { return isValid() ? m_lastRow - m_firstRow + 1 : 0; }
    int columnCount() const { return isValid() ? m_lastColumn - m_firstColumn + 1 : 0; }
    bool contains(int row, int column) const;
    QString toString() const;

    friend bool operator==(const CellRange &a, const CellRange &b)
    {
        return a.m_firstRow == b.m_firstRow && a.m_firstColumn == b.m_firstColumn &&
            a.m_lastRow == b.m_lastRow && a.m_lastColumn == b.m_lastColumn;
    }
    friend bool operator!=(const CellRange &a, const CellRange &b) { return !(a == b); }

private:
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_lastRow = 0;
    int m_lastColumn = 0;
};

} // namespace QXlsx
