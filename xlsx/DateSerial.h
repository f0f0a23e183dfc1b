#pragma once

#include <QVariant>

#include <optional>

namespace QXlsx {

// Spreadsheet serial numbers count days from the workbook's epoch; the fraction is the time of
// day. The 1900 system keeps its historic fictitious 29 February 1900 (serial 60), so serials
// below 61 count from 31 December 1899 and all later ones from 30 December 1899. The 1904 system
// counts from 1 January 1904. Conversions go through calendar fields (whole days plus
// milliseconds of the day), never through local-time arithmetic, so daylight saving cannot shift
// a value.

// A QTime for serials below 1, a QDate for whole serials, else a QDateTime in local time. A
// wall-clock time that local time skips (the spring daylight-saving gap) comes as a QDateTime in
// UTC with the same fields, because Qt cannot represent it as a valid local time. Negative,
// non-finite and too large serials (after 9999-12-31) give an invalid variant.
QVariant datetimeFromNumber(double serial, bool is1904 = false);

// The serial number of a QDate, QTime or QDateTime from its own calendar fields (a QDateTime is
// not converted to local time first). Empty for other types, invalid values and dates outside
// the spreadsheet's calendar.
std::optional<double> toSerialNumber(const QVariant &value, bool is1904 = false);

} // namespace QXlsx
