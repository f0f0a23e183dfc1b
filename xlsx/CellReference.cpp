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

int columnNumber(QStringView letters)
{
    // Six letters already exceed any sheet; the cap keeps the sum inside int.
    if (letters.isEmpty() || letters.size() > 6)
        return 0;
    int number = 0;
    for (const QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        number = number * 26 + (u - u'A' + 1);
    }
    return number;
}

CellReference::CellReference(int row, int column)
    : m_row(row)
    , m_column(column)
{ }

CellReference CellReference::fromString(QStringView text)
{
    qsizetype i = 0;
    const auto skipDollar = [&] {
        if (i < text.size() && text[i] == u'$')
            ++i;
    };
    skipDollar();
    const qsizetype letterStart = i;
    while (i < text.size() && text[i].isLetter())
        ++i;
    const int column = columnNumber(text.mid(letterStart, i - letterStart));
    skipDollar();
    const QStringView digits = text.mid(i);
    if (column == 0 || digits.isEmpty() || digits.size() > 7)
        return {};
    int row = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return {};
        row = row * 10 + (c.unicode() - u'0');
    }
    const CellReference reference(row, column);
    return reference.isValid() ? reference : CellReference();
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
