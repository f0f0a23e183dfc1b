#include "DateSerial.h"

#include <QDateTime>

#include <cmath>

namespace QXlsx {

namespace {

constexpr qint64 MsecsPerDay = 86400000;
// The first serial of the 1900 system after the fictitious 29 February 1900.
constexpr qint64 FirstTrueSerial1900 = 61;
constexpr double LastSerial = 2958466.0; // 9999-12-31 plus one day, 1900 system

qint64 epochDay(bool is1904)
{
    static const qint64 epoch1900 = QDate(1899, 12, 30).toJulianDay();
    static const qint64 epoch1904 = QDate(1904, 1, 1).toJulianDay();
    return is1904 ? epoch1904 : epoch1900;
}

QDate dateOfDay(qint64 day, bool is1904)
{
    if (!is1904 && day < FirstTrueSerial1900)
        return QDate::fromJulianDay(epochDay(false) + 1 + day);
    return QDate::fromJulianDay(epochDay(is1904) + day);
}

std::optional<double> serialOf(const QDate &date, const QTime &time, bool is1904)
{
    static const QDate first1900(1900, 1, 1);
    static const QDate first1904(1904, 1, 1);
    static const QDate last(9999, 12, 31);
    if (!date.isValid() || !time.isValid() || date < (is1904 ? first1904 : first1900) ||
        date > last)
        return std::nullopt;
    qint64 day = date.toJulianDay() - epochDay(is1904);
    if (!is1904 && day < FirstTrueSerial1900)
        --day;
    return double(day) + double(time.msecsSinceStartOfDay()) / MsecsPerDay;
}

} // namespace

QVariant datetimeFromNumber(double serial, bool is1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= LastSerial)
        return {};
    const qint64 total = std::llround(serial * MsecsPerDay);
    const qint64 day = total / MsecsPerDay;
    const int msecs = int(total % MsecsPerDay);
    const QTime time = QTime::fromMSecsSinceStartOfDay(msecs);
    if (day == 0)
        return time;
    const QDate date = dateOfDay(day, is1904);
    if (!date.isValid() || date.year() > 9999)
        return {};
    if (msecs == 0)
        return date;
    const QDateTime local(date, time);
    return local.isValid() ? local : QDateTime(date, time, Qt::UTC);
}

std::optional<double> toSerialNumber(const QVariant &value, bool is1904)
{
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return serialOf(value.toDate(), QTime(0, 0), is1904);
    case QMetaType::QDateTime: {
        // date() and time() keep their fields even for a local time in a daylight-saving gap.
        const QDateTime dateTime = value.toDateTime();
        return serialOf(dateTime.date(), dateTime.time(), is1904);
    }
    case QMetaType::QTime: {
        const QTime time = value.toTime();
        if (!time.isValid())
            return std::nullopt;
        return double(time.msecsSinceStartOfDay()) / MsecsPerDay;
    }
    default:
        return std::nullopt;
    }
}

} // namespace QXlsx
