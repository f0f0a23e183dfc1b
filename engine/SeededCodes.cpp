#include "SeededCodes.h"

#include "ByteAlphabets.h"
#include "EngineTables.h"

#include <algorithm>

namespace {

quint64 xorshift(quint64 x)
{
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
}

bool isAsciiUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

void writeRandomDigits(quint64 seed, int n, QChar *out)
{
    quint64 x = seed ? seed : 0xA5F00D1234ULL;
    for (int i = 0; i < n; ++i) {
        x = xorshift(x);
        out[i] = QChar(char16_t(u'0' + x % 10));
        x = x * 0x9E3779B97F4A7C15ULL + 0xBF58476D1CE4E5B9ULL;
    }
}

// The decimal digits as one number, modulo 97: up to 16 digits at a time, since a
// remainder below 97 followed by 16 digits still fits into 64 bits.
int digitsMod97(const QChar *digits, int n)
{
    quint64 remainder = 0;
    for (int at = 0; at < n; at += 16) {
        const int end = std::min(n, at + 16);
        quint64 chunk = 0;
        quint64 scale = 1;
        for (int i = at; i < end; ++i) {
            chunk = chunk * 10 + (digits[i].unicode() - u'0');
            scale *= 10;
        }
        remainder = (remainder * scale + chunk) % 97;
    }
    return int(remainder);
}

// The IBAN's digits after country and check digits; 0 when makeSeededIban gives none.
int basicIbanLength(vondrel::CountryLetters cc)
{
    const int length = ibanLengthOf(cc[0], cc[1]);
    const int basicLength = length != 0 ? length - 4 : 18;
    if (basicLength < 1 || basicLength - std::clamp(basicLength / 4, 1, 8) < 1)
        return 0;
    return basicLength;
}

} // namespace

QString randomDigits(quint64 seed, int n)
{
    if (n <= 0)
        return QString();
    QString out(n, Qt::Uninitialized);
    writeRandomDigits(seed, n, out.data());
    return out;
}

QString makeSeededIban(quint64 seed, const QString &country, int minAccountDigits)
{
    const vondrel::CountryLetters cc = vondrel::seededCountry(country);
    const int length = vondrel::seededIbanLength(cc);
    if (length == 0)
        return QString();
    QString iban(length, Qt::Uninitialized);
    vondrel::writeSeededIban(seed, cc, minAccountDigits, iban.data());
    return iban;
}

QString ibanLettersToDigits(const QString &text)
{
    QString out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (c.unicode() <= 0xff && c.isLetter())
            out += QString::number(c.unicode() - 55);
        else
            out += c;
    }
    return out;
}

int ibanMod97(const QString &text)
{
    int remainder = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            remainder = (remainder * 10 + (c.unicode() - u'0')) % 97;
    }
    return remainder;
}

QString makeSeededBic(const QString &country, quint64 seed)
{
    QString bic(vondrel::seededBicLength, Qt::Uninitialized);
    vondrel::writeSeededBic(vondrel::seededCountry(country), seed, bic.data());
    return bic;
}

namespace vondrel {

CountryLetters seededCountry(QStringView country)
{
    // A clean code, as the run passes it, needs neither trimming nor case mapping.
    if (country.size() == 2 && isAsciiUpper(country[0]) && isAsciiUpper(country[1]))
        return {country[0].unicode(), country[1].unicode()};
    const QString cc = country.trimmed().toString().toUpper();
    if (cc.size() == 2 && isAsciiUpper(cc[0]) && isAsciiUpper(cc[1]))
        return {cc[0].unicode(), cc[1].unicode()};
    return {u'D', u'E'};
}

int seededIbanLength(CountryLetters cc)
{
    const int basicLength = basicIbanLength(cc);
    return basicLength == 0 ? 0 : 4 + basicLength;
}

void writeSeededIban(quint64 seed, CountryLetters cc, int minAccountDigits, QChar *out)
{
    const int basicLength = basicIbanLength(cc);
    if (basicLength == 0)
        return;
    const int bankLength = std::clamp(basicLength / 4, 1, 8);
    const int rest = basicLength - bankLength;
    const int minAccount = std::max(minAccountDigits, 1);
    const int accountLength = std::min(rest, std::max(minAccount, rest / 2));

    // Country, check digits, then the bank, middle and account digits.
    QChar *const bban = out + 4;
    const int middleLength = rest - accountLength;
    std::fill_n(bban, bankLength, QChar(u'0'));
    writeLowDecimalDigits(seed, middleLength, bban + bankLength);
    writeRandomDigits(seed, accountLength, bban + bankLength + middleLength);

    // The ISO 7064 MOD 97-10 check digits of bban + cc + "00", computed without
    // spelling that text out: a letter counts as the two digits of its number
    // ("A" = 10 ... "Z" = 35).
    const int remainder = int(
        (quint64(digitsMod97(bban, basicLength)) * 10000 + (cc[0] - 55) * 100 + (cc[1] - 55)) % 97);
    const int check = 98 - (remainder * 100) % 97;
    out[0] = QChar(cc[0]);
    out[1] = QChar(cc[1]);
    out[2] = QChar(char16_t(u'0' + check / 10));
    out[3] = QChar(char16_t(u'0' + check % 10));
}

void writeSeededBic(CountryLetters cc, quint64 seed, QChar *out)
{
    const quint64 x = xorshift(seed ? seed : 0xA5F00DULL);
    const quint64 y = xorshift(x);
    // Bank code, country, location letter and "0", branch code.
    for (int i = 0; i < 4; ++i)
        out[i] = QChar(char16_t(u'A' + ((x >> (16 * i)) & 31) % 26));
    out[4] = QChar(cc[0]);
    out[5] = QChar(cc[1]);
    out[6] = QChar(char16_t(u'A' + std::min<quint64>((y >> 20) & 31, 25)));
    out[7] = u'0';
    writeBase36(seed, 3, out + 8);
}

} // namespace vondrel
