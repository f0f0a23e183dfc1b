#include "CellReference.h"

namespace QXlsx {

QString columnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

namespace {

char16_t upperAscii(char16_t u)
{
    return u >= u'a' && u <= u'z' ? char16_t(u - u'a' + u'A') : u;
}

char16_t unit(QChar c)
{
    return c.unicode();
}

char16_t unit(char c)
{
    return char16_t(uchar(c));
}

bool isAsciiLetter(char16_t u)
{
    u = upperAscii(u);
    return u >= u'A' && u <= u'Z';
}

template<typename View>
int lettersToNumber(View letters)
{
    // Six letters already exceed any sheet; the cap keeps the sum inside int.
    if (letters.isEmpty() || letters.size() > 6)
        return 0;
    int number = 0;
    for (const auto c : letters) {
        const char16_t u = upperAscii(unit(c));
        if (u < u'A' || u > u'Z')
            return 0;
        number = number * 26 + (u - u'A' + 1);
    }
    return number;
}

template<typename View>
CellReference parseReference(View text)
{
    qsizetype i = 0;
    const auto skipDollar = [&] {
        if (i < text.size() && unit(text[i]) == u'$')
            ++i;
    };
    skipDollar();
    const qsizetype letterStart = i;
    while (i < text.size() && isAsciiLetter(unit(text[i])))
        ++i;
    const int column = lettersToNumber(text.sliced(letterStart, i - letterStart));
    skipDollar();
    const View digits = text.sliced(i);
    if (column == 0 || digits.isEmpty() || digits.size() > 7)
        return {};
    int row = 0;
    for (const auto c : digits) {
        const char16_t u = unit(c);
        if (u < u'0' || u > u'9')
            return {};
        row = row * 10 + (u - u'0');
    }
    const CellReference reference(row, column);
    return reference.isValid() ? reference : CellReference();
}

} // namespace

int columnNumber(QStringView letters)
{
    return lettersToNumber(letters);
}

CellReference::CellReference(int row, int column)
    : m_row(row)
    , m_column(column)
{ }

CellReference CellReference::fromString(QStringView text)
{
    return parseReference(text);
}

CellReference CellReference::fromString(QByteArrayView text)
{
    return parseReference(text);
}

bool CellReference::isValid() const
{
    return m_row >= 1 && m_row <= MaxRowCount && m_column >= 1 && m_column <= MaxColumnCount;
}

QString CellReference::toString() const
{
    return isValid() ? columnLetters(m_column) + QString::number(m_row) : QString();
}

} // namespace QXlsx
