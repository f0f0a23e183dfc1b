#pragma once

#include "DateTextSettings.h"

#include <QCalendar>
#include <QDateTime>
#include <QVariant>

// Reading dates out of cell text and spreadsheet numbers.

// The Gregorian calendar the date parsers use.
const QCalendar &gregorianCalendar();

// Local date-times below that name a wall-clock time the local zone skips (the
// spring daylight-saving gap) are given in UTC with the same date and time, so
// that the value is kept.

// text read with format; when that fails, once more with day and month allowed
// to have one digit ("dd" -> "d", "MM" -> "M", unless the format names them).
QDate parseDateLenient(const QString &text, const QString &format, const QCalendar &calendar);
// As parseDateLenient, also allowing one-digit hours ("hh"), minutes and seconds.
QDateTime parseDateTimeLenient(const QString &text, const QString &format,
                               const QCalendar &calendar);

// A date at midnight local time, a time on the spreadsheet day 0 (30 December
// 1899), a date-time unchanged; anything else gives an invalid date-time.
QDateTime variantToDateTime(const QVariant &value);

namespace vondrel {

// The local date-time of a spreadsheet serial number (days, the fraction is the
// time of day) in the 1900 or the 1904 date system; invalid when not finite
// (NaN, infinite) or far outside any calendar.
QDateTime spreadsheetSerialToDateTime(double serial, bool use1904);

} // namespace vondrel

// The date-time a cell value stands for, for the date types 21 to 24: a text is
// read with the owner's text-to-date settings first; a cell that holds a date
// (cellDateTime, the spreadsheet's own date-time of such a cell, null for other
// cells and for text input) gives that date; a number is a spreadsheet serial
// date. Anything else gives an invalid date-time.
QDateTime convertCellValue(const vondrel::DateTextSettings &owner, const QVariant &value,
                           const QVariant &cellDateTime, int fieldType, bool use1904);
