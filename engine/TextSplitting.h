#pragma once

#include <QString>

namespace vondrel {

// The parts of an address cell: what the pattern "(.*\S)\s+(\d+\w{0,2})\s*$"
// captures, or the whole text as the street and no number when it does not match.
struct StreetAndNumber
{
    QString street;
    QString number;
};
StreetAndNumber splitStreetAndNumber(const QString &text);

// The parts of a VAT number: what "^\s*([A-Za-z]{0,2})(.*)$" captures, the
// country letters in upper case and only the digits "0" to "9" of the rest; both
// empty when the pattern does not match.
struct VatParts
{
    QString country;
    QString digits;
};
VatParts splitVatNumber(const QString &text);

} // namespace vondrel
