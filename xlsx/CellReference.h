#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace QXlsx {

// Sheet limits of the file format.
inline constexpr int MaxRowCount = 1048576;
inline constexpr int MaxColumnCount = 16384;

// Spreadsheet column letters: 1 -> "A", 26 -> "Z", 27 -> "AA", 703 -> "AAA"; "" below 1.
QString columnLetters(int column);

// The column number of letters such as "AB" (case-insensitive); 0 for anything else.
int columnNumber(QStringView letters);

// One cell position such as "B12" (row 12, column 2), 1-based.
class CellReference
{
public:
    CellReference() = default;
    CellReference(int row, int column);

    // Accepts "B12" and "$B$12"; anything else, or a position outside the sheet, is invalid.
    static CellReference fromString(QStringView text);
    static CellReference fromString(QByteArrayView text);

    bool isValid() const;
    int row() const { return m_row; }
    int column() const { return m_column; }
    QString toString() const;

    friend bool operator==(const CellReference &a, const CellReference &b)
    {
        return a.m_row == b.m_row && a.m_column == b.m_column;
    }

private:
    int m_row = 0;
    int m_column = 0;
};

} // namespace QXlsx
