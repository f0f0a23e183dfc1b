#pragma once

#include <QChar>
#include <QString>
#include <QVariant>

// Reading, scaling and writing numbers inside free text, the way amounts are
// written in tables: "1.234,56", "1,234.56", "1'234", "(12,5)", "EUR 12 netto".
// None of these depends on the process locale.

// Splits text around its number: the span from the first to the last number
// character (digits, "-", "(", ")", ",", ".", "'", blank, U+00A0, U+202F), with
// surrounding whitespace moved out into before and after. Without a number
// character, before is the whole text.
void splitNumberToken(const QString &text, QString &before, QString &token, QString &after);

// The number in text. The last non-digit decides the decimal separator ("," or
// "."; "." after an apostrophe); the other separators are grouping. "(x)" and a
// leading "-" negate. decimals receives the digit count after the decimal
// separator. Unreadable text gives 0.
double parseNumberLenient(const QString &text, int *decimals = nullptr);

// value with decimals digits after decimalSign, groups of three separated by
// groupSeparator (none when it is null or equal to decimalSign).
QString formatNumberGrouped(double value, int decimals, QChar decimalSign, QChar groupSeparator);

// Multiplies the number inside text by factor (factors below 1 count as 1) and
// writes it back with the text around it and its grouping kept. decimalSignMode
// 0 writes a decimal comma, any other value a point. decimals -1 keeps the
// text's own count (2 when it has none). With decimals 0, a token such as
// "1.234" or "1,234,567" is a grouped integer. An integer whose result lies beyond
// 2^53 is scaled in decimal digits, by the factor at two decimals, and leaves valueOut
// untouched, since no double holds it. Returns false, with out = text, when the number
// or the result is not finite.
bool scaleNumericString(const QString &text, double factor, QString &out, int decimalSignMode,
                        int decimals, QChar *groupSeparatorOut = nullptr,
                        QVariant *valueOut = nullptr);

// value rounded to digits decimals through its fixed-point text.
double roundToPrecision(double value, int digits);
// -1, 0 or 1: the sign of value rounded to digits decimals; 0 for NaN.
int signAtPrecision(double value, int digits);
// Whether a and b round to the same value at digits decimals; false for NaN.
bool equalAtPrecision(double a, double b, int digits);

namespace vondrel {

// The range where writeFixedDecimal gives exactly what QString::number(units /
// 10^decimals, 'f', decimals) gives: the double nearest that quotient then lies
// within a quarter of the last place, so rounding it back yields the digits of units.
constexpr quint64 fixedDecimalUnitsLimit = quint64(1) << 51;
constexpr int fixedDecimalMaxDecimals = 22;
// Room writeFixedDecimal needs at most.
constexpr int fixedDecimalMaxLength = fixedDecimalMaxDecimals + 2;

// units / 10^decimals in fixed notation with decimals places ("0.05" for 5 and 2),
// written to out; returns its length. For units below fixedDecimalUnitsLimit and
// decimals 0 to fixedDecimalMaxDecimals.
int writeFixedDecimal(quint64 units, int decimals, QChar *out);

} // namespace vondrel
