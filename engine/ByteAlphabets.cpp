#include "ByteAlphabets.h"

namespace {

template<char16_t first, uchar radix>
QString charactersFromBytes(QByteArrayView bytes, int n)
{
    QString out;
    if (n <= 0 || bytes.isEmpty())
        return out;
    out.resize(n);
    QChar *data = out.data();
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < n; ++i)
        data[i] = QChar(char16_t(first + uchar(bytes[i < size ? i : i % size]) % radix));
    return out;
}

} // namespace

QString lettersFromBytes(QByteArrayView bytes, int n)
{
    return charactersFromBytes<u'a', 26>(bytes, n);
}

QString digitsFromBytes(QByteArrayView bytes, int n)
{
    return charactersFromBytes<u'0', 10>(bytes, n);
}

QString lowDecimalDigits(quint64 value, int width)
{
    if (width <= 0)
        return QString();
    if (width < 20) {
        quint64 modulus = 1;
        for (int i = 0; i < width; ++i)
            modulus *= 10;
        value %= modulus;
    }
    return QString::number(value).rightJustified(width, u'0');
}

QString toBase36(quint64 value, int width)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString out;
    if (width <= 0)
        return out;
    out.resize(width);
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(digits[value % 36]);
        value /= 36;
    }
    return out;
}
