#include "TextSplitting.h"

#include <QRegularExpression>

#include <algorithm>

// Both splits are defined by their patterns, which the pattern engine applies with
// ASCII character classes and "." stopping at a line feed. Most cells are plain text
// whose split follows from a few comparisons; only the others pay for the pattern.

namespace vondrel {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiWordCharacter(QChar c)
{
    return isAsciiDigit(c) || isAsciiLetter(c) || c == u'_';
}

bool isPrintableAscii(QChar c)
{
    return c >= u' ' && c < u'\x7f';
}

// A character that every reading of the street pattern takes the same way: the
// blank, or a visible character (no control, line break, other space or half of a
// surrogate pair, whose class could depend on how the pattern engine is set up).
bool isPlainStreetCharacter(QChar c)
{
    return c == u' ' ||
        (c > u' ' && (c < u'\x7f' || c > u'\x9f') && !c.isSpace() && !c.isSurrogate());
}

StreetAndNumber splitStreetByPattern(const QString &text)
{
    static const QRegularExpression streetAndNumber(
        QStringLiteral("(.*\\S)\\s+(\\d+\\w{0,2})\\s*$"));
    const QRegularExpressionMatch match = streetAndNumber.match(text);
    if (!match.hasMatch())
        return {text, QString()};
    return {match.captured(1), match.captured(2)};
}

VatParts splitVatByPattern(const QString &text)
{
    static const QRegularExpression countryAndRest(QStringLiteral("^\\s*([A-Za-z]{0,2})(.*)$"));
    static const QRegularExpression nonDigit(QStringLiteral("\\D"));
    const QRegularExpressionMatch match = countryAndRest.match(text);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toUpper(), match.captured(2).remove(nonDigit)};
}

} // namespace

StreetAndNumber splitStreetAndNumber(const QString &text)
{
    if (!std::all_of(text.cbegin(), text.cend(), isPlainStreetCharacter))
        return splitStreetByPattern(text);

    // Blanks are the only white space here: the number can only be the last word.
    const QStringView s(text);
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == u' ')
        --end;
    const qsizetype lastBlank = s.first(end).lastIndexOf(u' ');
    if (lastBlank < 0)
        return {text, QString()};
    const QStringView number = s.sliced(lastBlank + 1, end - lastBlank - 1);
    if (!std::all_of(number.cbegin(), number.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return splitStreetByPattern(text);

    const auto digitsEnd = std::find_if_not(number.cbegin(), number.cend(), isAsciiDigit);
    const bool isNumber = digitsEnd != number.cbegin() && number.cend() - digitsEnd <= 2 &&
        std::all_of(digitsEnd, number.cend(), isAsciiWordCharacter);
    qsizetype streetEnd = lastBlank;
    while (streetEnd > 0 && s[streetEnd - 1] == u' ')
        --streetEnd;
    // The street needs one visible character before the blanks.
    if (!isNumber || streetEnd == 0)
        return {text, QString()};
    return {text.first(streetEnd), number.toString()};
}

VatParts splitVatNumber(const QString &text)
{
    if (!std::all_of(text.cbegin(), text.cend(), isPrintableAscii))
        return splitVatByPattern(text);

    const QStringView s(text);
    qsizetype start = 0;
    while (start < s.size() && s[start] == u' ')
        ++start;
    qsizetype end = start;
    while (end < s.size() && end - start < 2 && isAsciiLetter(s[end]))
        ++end;
    VatParts parts {s.sliced(start, end - start).toString().toUpper(), QString()};
    parts.digits.reserve(s.size() - end);
    for (const QChar c : s.sliced(end)) {
        if (isAsciiDigit(c))
            parts.digits += c;
    }
    return parts;
}

} // namespace vondrel
