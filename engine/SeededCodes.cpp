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

} // namespace

QString randomDigits(quint64 seed, int n)
{
    QString out;
    if (n <= 0)
        return out;
    out.resize(n);
    quint64 x = seed ? seed : 0xA5F00D1234ULL;
    for (int i = 0; i < n; ++i) {
        x = xorshift(x);
        out[i] = QChar(char16_t(u'0' + x % 10));
        x = x * 0x9E3779B97F4A7C15ULL + 0xBF58476D1CE4E5B9ULL;
    }
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

    const QString bban = QString(bankLength, u'0') + lowDecimalDigits(seed, rest - accountLength) +
        randomDigits(seed, accountLength);
    const int check = 98 - ibanMod97(ibanLettersToDigits(bban + cc + QStringLiteral("00")));
    return cc + QString::number(check).rightJustified(2, u'0') + bban;
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
    QString bank(4, Qt::Uninitialized);
    for (int i = 0; i < 4; ++i)
        bank[i] = QChar(char16_t(u'A' + ((x >> (16 * i)) & 31) % 26));
    const quint64 y = xorshift(x);
    const QChar location(char16_t(u'A' + std::min<quint64>((y >> 20) & 31, 25)));
    return bank + countryOrGermany(country) + location + u'0' + toBase36(seed, 3);
}
