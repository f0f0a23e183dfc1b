#include "NumberConversion.h"

#include <QLocale>
#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

// 10 to the power of places: from a table where the double is exact (what std::pow gives
// there too), so that a million amounts do not each pay for a general power.
double powerOfTen(int places)
{
    static constexpr double exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (places >= 0 && places < int(std::size(exact)))
        return exact[places];
    return std::pow(10.0, places);
}

// Characters that group digits or separate decimals inside a number token.
bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u'\'':
    case u' ':
    case 0x00a0:
    case 0x202f:
        return true;
    default:
        return false;
    }
}

bool isNumberCharacter(QChar c)
{
    return isSeparator(c) || c == u'-' || c == u'(' || c == u')' || c.isDigit();
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isCSpace(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// strtod reports an overflow as infinity and an underflow as 0; from_chars only
// reports the range error. The sign of the decimal exponent of the first
// significant digit tells which of the two it was.
double outOfRangeValue(std::string_view number)
{
    const size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        const char *first = number.data() + exponentAt + 1;
        const char *last = number.data() + number.size();
        const bool negative = *first == '-';
        if (*first == '-' || *first == '+')
            ++first;
        // Clamp: only the sign of the magnitude matters.
        for (; first != last && exponent < 100000; ++first)
            exponent = exponent * 10 + (*first - '0');
        if (negative)
            exponent = -exponent;
    }
    const size_t point = mantissa.find('.');
    const size_t firstSignificant = mantissa.find_first_of("123456789");
    if (firstSignificant == std::string_view::npos)
        return 0.0;
    const long integerDigits =
        point == std::string_view::npos ? long(mantissa.size()) : long(point);
    const long magnitude = long(firstSignificant) < integerDigits
        ? integerDigits - long(firstSignificant) + exponent
        : integerDigits - long(firstSignificant) + 1 + exponent;
    return magnitude > 0 ? HUGE_VAL : 0.0;
}

// The longest prefix of clean that reads as a C-locale decimal number (sign,
// digits, one point, exponent); 0 when there is none. Unlike strtod this never
// reads "inf", "nan" or hexadecimal numbers.
double readNumberPrefix(std::string_view clean)
{
    size_t i = 0;
    const size_t n = clean.size();
    bool negative = false;
    if (i < n && (clean[i] == '+' || clean[i] == '-'))
        negative = clean[i++] == '-';
    const size_t start = i;
    size_t digits = 0;
    for (; i < n && isAsciiDigit(clean[i]); ++i)
        ++digits;
    if (i < n && clean[i] == '.')
        for (++i; i < n && isAsciiDigit(clean[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    if (i < n && (clean[i] == 'e' || clean[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (clean[j] == '+' || clean[j] == '-'))
            ++j;
        if (j < n && isAsciiDigit(clean[j])) {
            while (j < n && isAsciiDigit(clean[j]))
                ++j;
            i = j;
        }
    }

    const std::string_view number = clean.substr(start, i - start);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = outOfRangeValue(number);
    return negative ? -value : value;
}

// Without its group separators when token is a plainly grouped integer: one kind
// of "." or "," separator, each followed by exactly three digits ("1.234",
// "12.500", "1,234,567"); a null string otherwise.
QString groupedIntegerDigits(QStringView token)
{
    QStringView digits = token;
    if (digits.size() >= 2 && digits.front() == u'(' && digits.back() == u')')
        digits = digits.mid(1, digits.size() - 2);
    if (digits.startsWith(u'-'))
        digits = digits.mid(1);

    qsizetype leading = 0;
    while (leading < digits.size() && isAsciiDigit(digits[leading]))
        ++leading;
    if (leading < 1 || leading > 3 || leading == digits.size())
        return QString();
    const QChar separator = digits[leading];
    if (separator != u'.' && separator != u',')
        return QString();
    for (qsizetype i = leading; i < digits.size(); ++i) {
        const bool groupStart = (i - leading) % 4 == 0;
        if (groupStart ? digits[i] != separator : !isAsciiDigit(digits[i]))
            return QString();
    }
    if ((digits.size() - leading) % 4 != 0)
        return QString();
    return token.toString().remove(separator);
}

// The token's own decimal sign: the later of its last "," and last ".", when a
// digit follows it directly.
QChar tokenDecimalSign(QStringView token)
{
    const qsizetype at = std::max(token.lastIndexOf(u','), token.lastIndexOf(u'.'));
    if (at < 0 || at + 1 >= token.size() || !token[at + 1].isDigit())
        return QChar();
    return token[at];
}

QChar tokenGroupSeparator(QStringView token, QChar tokenDecimal, QChar decimalSign)
{
    const bool hasGrouping = std::any_of(
        token.cbegin(), token.cend(), [&](QChar c) { return isSeparator(c) && c != tokenDecimal; });
    if (!hasGrouping)
        return QChar();
    if (token.contains(u'\''))
        return u'\'';
    if (token.contains(u' '))
        return u' ';
    for (const QChar candidate : {QChar(u'.'), QChar(u',')}) {
        if (token.contains(candidate) && tokenDecimal != candidate && decimalSign != candidate)
            return candidate;
    }
    return QChar();
}

// A text cut around its number; the parts refer to the text.
struct NumberSplit
{
    QStringView before;
    QStringView token;
    QStringView after;
};

NumberSplit splitAtNumber(QStringView text)
{
    const auto first = std::find_if(text.cbegin(), text.cend(), isNumberCharacter);
    if (first == text.cend())
        return {text, {}, {}};
    const qsizetype start = first - text.cbegin();
    qsizetype end = text.size() - 1;
    while (end > start && !isNumberCharacter(text[end]))
        --end;

    qsizetype tokenStart = start;
    while (tokenStart <= end && text[tokenStart].isSpace())
        ++tokenStart;
    qsizetype tokenEnd = end + 1;
    while (tokenEnd > tokenStart && text[tokenEnd - 1].isSpace())
        --tokenEnd;
    return {text.first(tokenStart), text.sliced(tokenStart, tokenEnd - tokenStart),
            text.sliced(tokenEnd)};
}

double parseNumber(QStringView s, int *decimals)
{
    if (decimals)
        *decimals = 0;
    while (!s.isEmpty() && isCSpace(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isCSpace(s.back()))
        s.chop(1);
    if (s.isEmpty())
        return 0;

    bool negative = false;
    if (s.size() >= 2 && s.front() == u'(' && s.back() == u')') {
        negative = true;
        s = s.mid(1, s.size() - 2);
    }
    if (s.startsWith(u'-')) {
        negative = true;
        s = s.mid(1);
    }

    QChar decimalSeparator;
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (isAsciiDigit(s[i]))
            continue;
        if (s[i] == u',' || s[i] == u'.')
            decimalSeparator = s[i];
        else if (s[i] == u'\'')
            decimalSeparator = u'.';
        break;
    }

    QVarLengthArray<char, 64> clean;
    clean.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!decimalSeparator.isNull() && c == decimalSeparator) {
            clean.append('.');
            if (decimals)
                *decimals = int(s.size() - i - 1);
        } else if (!isSeparator(c)) {
            // Anything outside ASCII ends the readable prefix.
            clean.append(c.unicode() < 0x80 ? char(c.unicode()) : '\x7f');
        }
    }

    const double value = readNumberPrefix(std::string_view(clean.data(), size_t(clean.size())));
    return negative ? -value : value;
}

// A number written aside before it becomes part of a string: most fit without an allocation.
using NumberBuffer = QVarLengthArray<QChar, 96>;

// integerPart and fraction are plain digits; the fraction may be empty.
void appendGroupedDigits(NumberBuffer &out, bool negative, QStringView integerPart,
                         QStringView fraction, QChar decimalSign, QChar groupSeparator)
{
    const bool grouping = !groupSeparator.isNull() && groupSeparator != decimalSign;
    const qsizetype length = integerPart.size();
    out.reserve(out.size() + length + length / 3 + fraction.size() + 2);
    if (negative)
        out.append(u'-');
    for (qsizetype i = 0; i < length; ++i) {
        if (grouping && i > 0 && (length - i) % 3 == 0)
            out.append(groupSeparator);
        out.append(integerPart[i]);
    }
    if (!fraction.isEmpty()) {
        out.append(decimalSign);
        out.append(fraction.data(), fraction.size());
    }
}

// The fixed text split at its point into integer part and fraction.
void appendFixedGrouped(NumberBuffer &out, bool negative, QStringView fixed, QChar decimalSign,
                        QChar groupSeparator)
{
    const qsizetype point = fixed.indexOf(u'.');
    const QStringView integerPart = point < 0 ? fixed : fixed.left(point);
    const QStringView fraction = point < 0 ? QStringView() : fixed.mid(point + 1);
    appendGroupedDigits(out, negative, integerPart, fraction, decimalSign, groupSeparator);
}

void appendNumberGrouped(NumberBuffer &out, double value, int decimals, QChar decimalSign,
                         QChar groupSeparator)
{
    const QString fixed = QString::number(std::abs(value), 'f', std::max(decimals, 0));
    appendFixedGrouped(out, value < 0, fixed, decimalSign, groupSeparator);
}

// The digits of token without leading zeros when it is an integer that reading drops nothing
// of: digits with blanks or apostrophes between them, in "(x)" or after "-"; a null string
// otherwise (a decimal separator, an exponent, any other character).
QString integerTokenDigits(QStringView token, bool *negative)
{
    *negative = false;
    if (token.size() >= 2 && token.front() == u'(' && token.back() == u')') {
        *negative = true;
        token = token.mid(1, token.size() - 2);
    }
    if (token.startsWith(u'-')) {
        *negative = true;
        token = token.mid(1);
    }
    QString digits;
    digits.reserve(token.size());
    for (const QChar c : token) {
        if (isAsciiDigit(c)) {
            if (!digits.isEmpty() || c != u'0')
                digits += c;
        } else if (c != u' ' && c != u'\'' && c.unicode() != 0x00a0 && c.unicode() != 0x202f) {
            return QString();
        }
    }
    if (digits.isEmpty() && !token.contains(u'0'))
        return QString();
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

// digits times hundredths (an exact product of any length), rounded half away from zero to
// decimals places: the integer part and the fraction as digit strings.
std::pair<QString, QString> scaleDigitsExactly(const QString &digits, quint64 hundredths,
                                               int decimals)
{
    QString product;
    quint64 carry = 0;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        carry += quint64(digits[i].unicode() - u'0') * hundredths;
        product.prepend(QChar(u'0' + int(carry % 10)));
        carry /= 10;
    }
    for (; carry > 0; carry /= 10)
        product.prepend(QChar(u'0' + int(carry % 10)));
    // The product counts hundredths; two more digits make the division by 100 a cut.
    product = product.rightJustified(3, u'0');
    if (decimals < 2) {
        const qsizetype cut = 2 - decimals;
        const bool roundUp = product[product.size() - cut] >= u'5';
        product.chop(cut);
        for (qsizetype i = product.size() - 1; roundUp && i >= 0; --i) {
            if (product[i] == u'9') {
                product[i] = u'0';
                continue;
            }
            product[i] = QChar(product[i].unicode() + 1);
            break;
        }
        if (roundUp && product.count(u'0') == product.size())
            product.prepend(u'1');
    } else {
        product += QString(decimals - 2, u'0');
    }
    const qsizetype integerDigits = product.size() - decimals;
    QString integerPart = product.left(integerDigits);
    while (integerPart.size() > 1 && integerPart.front() == u'0')
        integerPart.remove(0, 1);
    return {integerPart.isEmpty() ? QStringLiteral("0") : integerPart, product.mid(integerDigits)};
}

const QLocale &roundingLocale()
{
    static const QLocale locale = [] {
        QLocale c(QLocale::C);
        c.setNumberOptions(QLocale::OmitGroupSeparator);
        return c;
    }();
    return locale;
}

} // namespace

void splitNumberToken(const QString &text, QString &before, QString &token, QString &after)
{
    const NumberSplit split = splitAtNumber(text);
    before = split.before.toString();
    token = split.token.toString();
    after = split.after.toString();
}

double parseNumberLenient(const QString &text, int *decimals)
{
    return parseNumber(text, decimals);
}

QString formatNumberGrouped(double value, int decimals, QChar decimalSign, QChar groupSeparator)
{
    NumberBuffer out;
    appendNumberGrouped(out, value, decimals, decimalSign, groupSeparator);
    return QString(out.constData(), out.size());
}

bool scaleNumericString(const QString &text, double factor, QString &out, int decimalSignMode,
                        int decimals, QChar *groupSeparatorOut, QVariant *valueOut)
{
    const double f = factor < 1 ? 1 : factor;
    const NumberSplit split = splitAtNumber(text);
    const QStringView token = split.token;
    if (token.isEmpty()) {
        out = text;
        return true;
    }

    // An integer column has no decimals, so "1.234" there is grouped, not 1.
    const QString groupedDigits = decimals == 0 ? groupedIntegerDigits(token) : QString();
    const bool groupedInteger = !groupedDigits.isNull();
    int parsedDecimals = 0;
    const double value =
        parseNumber(groupedInteger ? QStringView(groupedDigits) : token, &parsedDecimals);

    const int d = decimals >= 0 ? decimals : (parsedDecimals > 0 ? parsedDecimals : 2);
    const double p = powerOfTen(d);
    const double x = p * (f * value);
    const double units = x >= 0 ? std::floor(x + 0.5) : std::ceil(x - 0.5);
    double v = units / p;

    // Beyond 2^53 a double no longer holds every integer: an integer is then scaled in
    // decimal digits, by the factor at two decimals, so that no digit is lost at any length.
    QString exactInteger;
    QString exactFraction;
    bool negative = v < 0;
    if (!(std::abs(x) < 9007199254740992.0) && f * 100 < 1e15) {
        const QString digits =
            integerTokenDigits(groupedInteger ? QStringView(groupedDigits) : token, &negative);
        if (!digits.isNull()) {
            std::tie(exactInteger, exactFraction) =
                scaleDigitsExactly(digits, quint64(std::llround(f * 100)), d);
        }
    }
    // Never write "inf" or "nan" into a table: an overflow or a bad factor keeps the text.
    if (exactInteger.isNull() && (!std::isfinite(value) || !std::isfinite(v))) {
        out = text;
        return false;
    }
    if (std::abs(v) < 0.5 / p)
        v = 0;

    const QChar decimalSign = decimalSignMode == 0 ? u',' : u'.';
    const QChar tokenDecimal = groupedInteger ? QChar() : tokenDecimalSign(token);
    const QChar groupSeparator = tokenGroupSeparator(token, tokenDecimal, decimalSign);
    if (groupSeparatorOut)
        *groupSeparatorOut = groupSeparator;
    NumberBuffer number;
    if (!exactInteger.isNull()) {
        appendGroupedDigits(number, negative, exactInteger, exactFraction, decimalSign,
                            groupSeparator);
    } else if (d <= vondrel::fixedDecimalMaxDecimals &&
               std::abs(units) < double(vondrel::fixedDecimalUnitsLimit)) {
        // The usual amount: its digits come straight from the rounded units.
        QChar fixed[vondrel::fixedDecimalMaxLength];
        const int length = vondrel::writeFixedDecimal(quint64(std::abs(units)), d, fixed);
        appendFixedGrouped(number, v < 0, QStringView(fixed, length), decimalSign, groupSeparator);
    } else {
        appendNumberGrouped(number, v, d, decimalSign, groupSeparator);
    }
    // Built aside: out may be the very string that text refers to.
    QString scaled(split.before.size() + number.size() + split.after.size(), Qt::Uninitialized);
    QChar *to = scaled.data();
    to = std::copy(split.before.cbegin(), split.before.cend(), to);
    to = std::copy(number.cbegin(), number.cend(), to);
    std::copy(split.after.cbegin(), split.after.cend(), to);
    out = std::move(scaled);
    // A double would lose the digits just kept; the text is the only exact result then.
    if (valueOut && exactInteger.isNull())
        *valueOut = v;
    return true;
}

double roundToPrecision(double value, int digits)
{
    const QLocale &locale = roundingLocale();
    return locale.toDouble(locale.toString(value, 'f', digits));
}

int signAtPrecision(double value, int digits)
{
    if (std::isnan(value))
        return 0;
    const double rounded = roundToPrecision(value, digits);
    const double half = 0.5 * std::pow(10.0, -digits);
    if (rounded > half)
        return 1;
    if (rounded < -half)
        return -1;
    return 0;
}

bool equalAtPrecision(double a, double b, int digits)
{
    if (std::isnan(a) || std::isnan(b))
        return false;
    return roundToPrecision(a, digits) == roundToPrecision(b, digits);
}

namespace vondrel {

int writeFixedDecimal(quint64 units, int decimals, QChar *out)
{
    // The digits from the right, padded with zeros to one before the point.
    char16_t digits[fixedDecimalMaxLength];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + units % 10);
        units /= 10;
    } while (units != 0);
    while (count < decimals + 1)
        digits[count++] = u'0';
    int length = 0;
    for (int i = count - 1; i >= 0; --i) {
        if (i == decimals - 1)
            out[length++] = u'.';
        out[length++] = QChar(digits[i]);
    }
    return length;
}

} // namespace vondrel
