#include "ByteAlphabets.h"

namespace {

template<char16_t first, uchar radix>
void writeCharacters(QByteArrayView bytes, int n, QChar *out)
{
    const qsizetype size = bytes.size();
    if (size == 0)
        return;
    // The byte string is reused cyclically when it is shorter than n.
    for (qsizetype i = 0; i < n; ++i)
        out[i] = QChar(char16_t(first + uchar(bytes[i < size ? i : i % size]) % radix));
}

QString charactersFromBytes(QByteArrayView bytes, int n,
                            void (*write)(QByteArrayView, int, QChar *))
{
    if (n <= 0 || bytes.isEmpty())
        return QString();
    QString out(n, Qt::Uninitialized);
    write(bytes, n, out.data());
    return out;
}

} // namespace

namespace vondrel {

void writeLetters(QByteArrayView bytes, int n, QChar *out)
{
    writeCharacters<u'a', 26>(bytes, n, out);
}

void writeDigits(QByteArrayView bytes, int n, QChar *out)
{
    writeCharacters<u'0', 10>(bytes, n, out);
}

void writeLowDecimalDigits(quint64 value, int width, QChar *out)
{
    // A 64-bit value has at most 20 digits, so from 20 on all of it fits.
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(char16_t(u'0' + value % 10));
        value /= 10;
    }
}

void writeBase36(quint64 value, int width, QChar *out)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(digits[value % 36]);
        value /= 36;
    }
}

QString lowDecimalDigits(quint64 value, int width)
{
    if (width <= 0)
        return QString();
    QString out(width, Qt::Uninitialized);
    writeLowDecimalDigits(value, width, out.data());
    return out;
}

} // namespace vondrel

QString lettersFromBytes(QByteArrayView bytes, int n)
{
    return charactersFromBytes(bytes, n, vondrel::writeLetters);
}

QString digitsFromBytes(QByteArrayView bytes, int n)
{
    return charactersFromBytes(bytes, n, vondrel::writeDigits);
}

QString toBase36(quint64 value, int width)
{
    if (width <= 0)
        return QString();
    QString out(width, Qt::Uninitialized);
    vondrel::writeBase36(value, width, out.data());
    return out;
}
