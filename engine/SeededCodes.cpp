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

QString countryOrGermany(const QString &country)
{
    const QString cc = country.trimmed().toUpper();
    if (cc.size() == 2 && isAsciiUpper(cc[0]) && isAsciiUpper(cc[1]))
        return cc;
    return QStringLiteral("DE");
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

// The running ISO 7064 MOD 97-10 remainder r continued with the digits of c:
// the digit itself, or the two digits of a letter's number ("A" = 10 ... "Z" = 35).
int continueMod97(int r, QChar c)
{
    if (isAsciiUpper(c))
        return (r * 100 + (c.unicode() - 55)) % 97;
    return (r * 10 + (c.unicode() - u'0')) % 97;
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
    const QString cc = countryOrGermany(country);
    const auto entry = ibanLengthTable.constFind(cc);
    const int basicLength = entry != ibanLengthTable.cend() ? *entry - 4 : 18;
    if (basicLength < 1)
        return QString();

    const int bankLength = std::clamp(basicLength / 4, 1, 8);
    const int rest = basicLength - bankLength;
    if (rest < 1)
        return QString();
    const int minAccount = std::max(minAccountDigits, 1);
    const int accountLength = std::min(rest, std::max(minAccount, rest / 2));

    // Written in place: country, check digits, then the bank, middle and account digits.
    QString iban(4 + basicLength, Qt::Uninitialized);
    QChar *out = iban.data();
    QChar *const bban = out + 4;
    const int middleLength = rest - accountLength;
    std::fill_n(bban, bankLength, QChar(u'0'));
    vondrel::writeLowDecimalDigits(seed, middleLength, bban + bankLength);
    writeRandomDigits(seed, accountLength, bban + bankLength + middleLength);

    // The check digits of bban + cc + "00", computed without spelling that text out.
    int remainder = 0;
    for (const QChar c : QStringView(bban, basicLength))
        remainder = continueMod97(remainder, c);
    for (const QChar c : cc)
        remainder = continueMod97(remainder, c);
    const int check = 98 - (remainder * 100) % 97;
    out[0] = cc[0];
    out[1] = cc[1];
    out[2] = QChar(char16_t(u'0' + check / 10));
    out[3] = QChar(char16_t(u'0' + check % 10));
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
    const quint64 x = xorshift(seed ? seed : 0xA5F00DULL);
    const quint64 y = xorshift(x);
    const QString cc = countryOrGermany(country);
    // Bank code, country, location letter and "0", branch code.
    QString bic(11, Qt::Uninitialized);
    QChar *out = bic.data();
    for (int i = 0; i < 4; ++i)
        out[i] = QChar(char16_t(u'A' + ((x >> (16 * i)) & 31) % 26));
    out[4] = cc[0];
    out[5] = cc[1];
    out[6] = QChar(char16_t(u'A' + std::min<quint64>((y >> 20) & 31, 25)));
    out[7] = u'0';
    vondrel::writeBase36(seed, 3, out + 8);
    return bic;
}
