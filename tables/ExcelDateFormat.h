#pragma once

#include <QList>
#include <QString>

class QLocale;

namespace vondrel {

// A spreadsheet number format code read as a date and time pattern and turned into the
// patterns QLocale::toString understands. Only the first section counts (the one a positive
// number or a date is shown with); [...] blocks other than elapsed hours, minutes and seconds
// are dropped, quoted and escaped text stays literal, "/" becomes the locale's date separator.
// "m" and "mm" are minutes directly after an hour or directly before seconds (separators and
// literal text between them do not count), months everywhere else.
//
// Elapsed times ([h], [mm], [ss]) and fractions of a second ("ss.00") have no Qt pattern; a
// code with them is shown through formatSerial() instead.
class ExcelDateFormat
{
public:
    // Which fields of the code to show: all, those of the date or those of the time of day.
    enum Part {
        WholeCode,
        DatePart,
        TimePart,
    };

    explicit ExcelDateFormat(const QString &code);

    // The pattern of the whole code.
    QString qtFormat() const { return m_patterns[WholeCode]; }
    // The pattern for a date without time of day: the date fields and the text around them
    // without the time fields; the whole pattern when there are no time fields, empty when
    // there are no date fields.
    QString dateQtFormat() const { return m_patterns[DatePart]; }
    // The same for a time of day without date.
    QString timeQtFormat() const { return m_patterns[TimePart]; }

    // Whether the code has fields only formatSerial() can show.
    bool needsSerial() const { return m_needsSerial; }
    // Whether the part has any fields.
    bool hasPart(Part part) const;
    // The text of a serial number (days since the workbook's epoch, 0 to before 10000-01-01)
    // shown with the fields of the part, the smallest one rounded as spreadsheet programs
    // round it. Digits are always 0-9 and never grouped; names and the decimal separator are
    // the locale's.
    QString formatSerial(double serial, bool date1904, Part part, const QLocale &locale) const;

    // The pieces a code is read into; public only for the reading functions.
    enum class Kind {
        Literal,
        Year,
        Month,
        Day,
        Hour,
        Minute,
        Second,
        ElapsedHours,
        ElapsedMinutes,
        ElapsedSeconds,
        SecondFraction,
        AmPm,
        MonthOrMinute,
    };
    struct Token
    {
        Kind kind;
        qsizetype length = 0; // of a field: how often its letter is repeated
        QString literal;
        bool upperCase = false; // of an AM/PM marker
    };

private:
    struct Range
    {
        qsizetype first = 0;
        qsizetype last = 0; // one past the end
    };

    Range range(Part part) const;
    QString pattern(Part part) const;

    QList<Token> m_tokens;
    Range m_datePart;
    Range m_timePart;
    QString m_patterns[3]; // by Part, made once: a sheet shows many cells with one code
    bool m_needsSerial = false;
};

} // namespace vondrel

namespace QXlsx {

// The Qt pattern of a spreadsheet date or time number format code (see
// vondrel::ExcelDateFormat).
QString excelFormatToQtDateFormat(const QString &format);

// Replaces each "/" that separates date fields by the date separator of the default locale's
// short date format ("." when that has none). Quoted and escaped characters, [...] blocks and
// the AM/PM and A/P markers keep their slash.
void applyLocaleDateSeparator(QString &format);

} // namespace QXlsx
