#include "DateConversion.h"

#include "FieldTypes.h"

#include <cmath>

using vondrel::DateTextSettings;
namespace FieldTypeId = vondrel::FieldTypeId;

namespace {

constexpr qint64 msecsPerDay = 86400000;

// A wall-clock time in the spring daylight-saving gap (or a midnight that a zone
// skips) has no local date-time: the toolkit gives an invalid one that still holds
// the date and time read. Those fields are kept in UTC, as the workbook layer keeps
// such cells, rather than the value being lost.
QDateTime keepWallClock(const QDateTime &dateTime)
{
    if (dateTime.isValid() || !dateTime.date().isValid() || !dateTime.time().isValid())
        return dateTime;
    return QDateTime(dateTime.date(), dateTime.time(), Qt::UTC);
}

QDateTime wallClockDateTime(const QDate &date, const QTime &time)
{
    return keepWallClock(QDateTime(date, time));
}

// The format with one-digit day and month (and, for date-times, hour, minute and
// second) allowed, so that "1.2.2024" reads with "dd.MM.yyyy".
QString relaxedFormat(const QString &format, bool withTime)
{
    QString relaxed = format;
    if (!relaxed.contains(QLatin1String("MMM")))
        relaxed.replace(QLatin1String("MM"), QLatin1String("M"));
    if (!relaxed.contains(QLatin1String("ddd")))
        relaxed.replace(QLatin1String("dd"), QLatin1String("d"));
    if (withTime) {
        relaxed.replace(QLatin1String("hh"), QLatin1String("h"));
        relaxed.replace(QLatin1String("ss"), QLatin1String("s"));
        relaxed.replace(QLatin1String("mm"), QLatin1String("m"));
    }
    return relaxed;
}

QDateTime textToDateTime(const DateTextSettings &owner, const QString &text, int fieldType)
{
    switch (fieldType) {
    case FieldTypeId::Date:
    case FieldTypeId::DateConvert: {
        QDate date;
        if (owner.textToDateISO)
            date = QDate::fromString(text, Qt::ISODate);
        else if (!owner.textToDateFmt.isEmpty())
            date = parseDateLenient(text, owner.textToDateFmt, gregorianCalendar());
        return date.isValid() ? wallClockDateTime(date, QTime(0, 0)) : QDateTime();
    }
    case FieldTypeId::DateTime:
    case FieldTypeId::DateTimeConvert:
        if (owner.textToDateTimeISO) {
            const QDateTime withMs = keepWallClock(QDateTime::fromString(text, Qt::ISODateWithMs));
            return withMs.isValid() ? withMs
                                    : keepWallClock(QDateTime::fromString(text, Qt::ISODate));
        }
        if (!owner.textToDateTimeFmt.isEmpty())
            return parseDateTimeLenient(text, owner.textToDateTimeFmt, gregorianCalendar());
        return QDateTime();
    default:
        return QDateTime();
    }
}

} // namespace

const QCalendar &gregorianCalendar()
{
    static const QCalendar calendar(QCalendar::System::Gregorian);
    return calendar;
}

QDate parseDateLenient(const QString &text, const QString &format, const QCalendar &calendar)
{
    const QDate date = QDate::fromString(text, format, calendar);
    if (date.isValid())
        return date;
    const QString relaxed = relaxedFormat(format, false);
    return relaxed != format ? QDate::fromString(text, relaxed, calendar) : QDate();
}

QDateTime parseDateTimeLenient(const QString &text, const QString &format,
                               const QCalendar &calendar)
{
    const QDateTime dateTime = keepWallClock(QDateTime::fromString(text, format, calendar));
    if (dateTime.isValid())
        return dateTime;
    const QString relaxed = relaxedFormat(format, true);
    return relaxed != format ? keepWallClock(QDateTime::fromString(text, relaxed, calendar))
                             : QDateTime();
}

QDateTime variantToDateTime(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return wallClockDateTime(value.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return wallClockDateTime(QDate(1899, 12, 30), value.toTime());
    case QMetaType::QDateTime:
        return value.toDateTime();
    default:
        return QDateTime();
    }
}

namespace vondrel {

QDateTime spreadsheetSerialToDateTime(double serial, bool use1904)
{
    // A million years either way is beyond every calendar a sheet can show and
    // keeps the conversion to whole days exact.
    if (!std::isfinite(serial) || std::abs(serial) > 365.0e6)
        return QDateTime();
    const double wholeDays = std::floor(serial);
    qint64 days = qint64(wholeDays);
    qint64 msecs = std::llround((serial - wholeDays) * double(msecsPerDay));
    if (msecs >= msecsPerDay) {
        ++days;
        msecs -= msecsPerDay;
    }
    // The 1900 system counts a 29 February 1900 that never was: before it, each
    // serial number is one day later than counted from 30 December 1899.
    if (!use1904 && days >= 1 && days < 60)
        ++days;
    const QDate epoch = use1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const QDate date = epoch.addDays(days);
    return wallClockDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

} // namespace vondrel

QDateTime convertCellValue(const DateTextSettings &owner, const QVariant &value,
                           const QVariant &cellDateTime, int fieldType, bool use1904)
{
    if (value.typeId() == QMetaType::QString) {
        const QDateTime fromText = textToDateTime(owner, value.toString(), fieldType);
        if (fromText.isValid())
            return fromText;
    }
    if (cellDateTime.isValid())
        return variantToDateTime(cellDateTime);
    bool isNumber = false;
    const double serial = value.toDouble(&isNumber);
    return isNumber ? vondrel::spreadsheetSerialToDateTime(serial, use1904) : QDateTime();
}
