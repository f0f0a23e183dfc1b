#pragma once

#include "CellFormula.h"
#include "Format.h"

#include <QVariant>

namespace QXlsx {

// One cell of a worksheet: its value, format and formula. Numbers are doubles, texts and error
// codes ("#N/A") are strings; a date is a number with a date or time number format.
class Cell
{
public:
    enum CellType : quint8 {
        BlankType,
        BooleanType,
        NumberType,
        StringType,
        ErrorType,
    };

    explicit Cell(bool date1904 = false);

    // The stored value: invalid for a blank cell; for a formula cell read from a file the result
    // the file recorded.
    const QVariant &value() const { return m_value; }
    CellType cellType() const;
    const Format &format() const { return m_format; }
    const CellFormula &formula() const { return m_formula; }

    // A number shown with a date or time format.
    bool isDateTime() const;
    // The number read as a date serial of the workbook's date system: a QTime below 1, a QDate
    // for a whole number, else a QDateTime; invalid when the cell holds no number or the number
    // is outside the calendar.
    QVariant dateTime() const;
    // Whether dateTime() counts from 1904 instead of 1900.
    bool isDate1904() const { return m_date1904; }

    // The value is the recorded result of a formula rather than data of its own, so saving
    // leaves it out and the spreadsheet program computes it again.
    bool isCachedResult() const;

    void setValue(const QVariant &value, CellType type);
    void setFormat(const Format &format);
    void setFormula(const CellFormula &formula);
    void setCachedResult(bool cached);

private:
    QVariant m_value;
    Format m_format;
    CellFormula m_formula;
    CellType m_type = BlankType;
    bool m_cachedResult = false;
    bool m_date1904 = false;
};

} // namespace QXlsx
