#pragma once

#include <QString>

namespace QXlsx {

// A spreadsheet number format code read as a date and time pattern and turned into the
// patterns QLocale::toString understands. Only the first section counts (the one a positive
// number or a date is shown with); [...] blocks other than elapsed hours, minutes and seconds
// are dropped, quoted and escaped text stays literal, "/" becomes the locale's date separator.
// "m" and "mm" are minutes directly after an hour or directly before seconds (separators and
// literal text between them do not count), months everywhere else.
class ExcelDateFormat
{
public:
    explicit ExcelDateFormat(const QString &code);

    // The pattern of the whole code.
    QString qtFormat() const { return m_qtFormat; }
    // The pattern for a date without time of day: the date fields and the text around them
    // without the time fields; the whole pattern when there are no time fields, empty when
    // there are no date fields.
    QString dateQtFormat() const { return m_dateQtFormat; }
    // The same for a time of day without date.
    QString timeQtFormat() const { return m_timeQtFormat; }

private:
    QString m_qtFormat;
    QString m_dateQtFormat;
    QString m_timeQtFormat;
};

// The Qt pattern of a spreadsheet date or time number format code (see ExcelDateFormat).
QString excelFormatToQtDateFormat(const QString &format);

// Replaces each "/" that separates date fields by the date separator of the default locale's
// short date format ("." when that has none). Quoted and escaped characters, [...] blocks and
// the AM/PM and A/P markers keep their slash.
void applyLocaleDateSeparator(QString &format);

} // namespace QXlsx
