#include "FormulaShifter.h"

#include "CellReference.h"

namespace QXlsx {

namespace {

struct ReferencePart
{
    bool absolute = false;
    int value = 0; // 0 when the part is missing
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\' || c == u'$' || c == u'?';
}

// Reads "$AB" (column letters) or "$12" (row digits) from the front of text.
ReferencePart takePart(QStringView &text, bool letters)
{
    ReferencePart part;
    if (!text.isEmpty() && text.front() == u'$') {
        part.absolute = true;
        text = text.mid(1);
    }
    qsizetype length = 0;
    while (length < text.size() &&
           (letters ? text[length].isLetter() : (text[length] >= u'0' && text[length] <= u'9')))
        ++length;
    if (letters) {
        part.value = length <= 3 ? columnNumber(text.left(length)) : 0;
        if (part.value > MaxColumnCount)
            part.value = 0;
    } else if (length > 0 && length <= 7) {
        part.value = text.left(length).toInt();
        if (part.value > MaxRowCount)
            part.value = 0;
    }
    text = text.mid(length);
    return part;
}

QString shiftedColumn(const ReferencePart &column, int offset)
{
    const int value = column.absolute ? column.value : column.value + offset;
    if (value < 1 || value > MaxColumnCount)
        return {};
    return (column.absolute ? QStringLiteral("$") : QString()) + columnLetters(value);
}

QString shiftedRow(const ReferencePart &row, int offset)
{
    const int value = row.absolute ? row.value : row.value + offset;
    if (value < 1 || value > MaxRowCount)
        return {};
    return (row.absolute ? QStringLiteral("$") : QString()) + QString::number(value);
}

QString orRefError(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("#REF!") : text;
}

// A whole token that is a cell ("B$2"), a column ("$B") or a row ("2"); empty when it is not.
QString shiftCell(QStringView token, int rowOffset, int columnOffset)
{
    QStringView rest = token;
    const ReferencePart column = takePart(rest, true);
    const ReferencePart row = takePart(rest, false);
    if (column.value == 0 || row.value == 0 || !rest.isEmpty())
        return {};
    const QString c = shiftedColumn(column, columnOffset);
    const QString r = shiftedRow(row, rowOffset);
    return c.isEmpty() || r.isEmpty() ? QStringLiteral("#REF!") : c + r;
}

QString shiftLine(QStringView token, bool columns, int offset)
{
    QStringView rest = token;
    const ReferencePart part = takePart(rest, columns);
    if (part.value == 0 || !rest.isEmpty())
        return {};
    return orRefError(columns ? shiftedColumn(part, offset) : shiftedRow(part, offset));
}

// Whole columns ("A:C") or whole rows ("2:5"); empty when the two tokens are neither.
QString shiftLineRange(QStringView first, QStringView second, int rowOffset, int columnOffset)
{
    for (const bool columns : {true, false}) {
        const int offset = columns ? columnOffset : rowOffset;
        const QString from = shiftLine(first, columns, offset);
        const QString to = shiftLine(second, columns, offset);
        if (!from.isEmpty() && !to.isEmpty())
            return from + u':' + to;
    }
    return {};
}

// Index after a quoted run starting at i whose quote is doubled inside.
qsizetype skipQuoted(QStringView text, qsizetype i)
{
    const QChar quote = text[i];
    ++i;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return i;
}

qsizetype skipBrackets(QStringView text, qsizetype i)
{
    int depth = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == u'[')
            ++depth;
        else if (text[i] == u']' && --depth == 0)
            return i + 1;
    }
    return i;
}

qsizetype skipError(QStringView text, qsizetype i)
{
    ++i;
    while (i < text.size() &&
           (text[i].isLetterOrNumber() || text[i] == u'/' || text[i] == u'!' || text[i] == u'?'))
        ++i;
    return i;
}

qsizetype tokenEnd(QStringView text, qsizetype i)
{
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    return i;
}

} // namespace

QString shiftFormula(QStringView formula, int rowOffset, int columnOffset)
{
    QString out;
    out.reserve(formula.size() + 8);
    qsizetype i = 0;
    while (i < formula.size()) {
        const QChar c = formula[i];
        qsizetype end = i + 1;
        if (c == u'"' || c == u'\'') {
            end = skipQuoted(formula, i);
        } else if (c == u'[') {
            end = skipBrackets(formula, i);
        } else if (c == u'#') {
            end = skipError(formula, i);
        } else if (isNameChar(c)) {
            end = tokenEnd(formula, i);
            const QStringView token = formula.mid(i, end - i);
            const QChar next = end < formula.size() ? formula[end] : QChar();
            if (next != u'(' && next != u'!') {
                const QString cell = shiftCell(token, rowOffset, columnOffset);
                if (!cell.isEmpty()) {
                    out += cell;
                    i = end;
                    continue;
                }
                if (next == u':') {
                    const qsizetype secondEnd = tokenEnd(formula, end + 1);
                    const QString range = shiftLineRange(
                        token, formula.mid(end + 1, secondEnd - end - 1), rowOffset, columnOffset);
                    if (!range.isEmpty()) {
                        out += range;
                        i = secondEnd;
                        continue;
                    }
                }
            }
        }
        out += formula.mid(i, end - i);
        i = end;
    }
    return out;
}

} // namespace QXlsx
