#include "ExcelDateFormat.h"

#include <QLocale>

#include <algorithm>

namespace QXlsx {

namespace {

const QString AmPmMarker = QStringLiteral("AM/PM");
const QString APMarker = QStringLiteral("A/P");

// Index of the closing character, or -1.
qsizetype closingIndex(QStringView text, qsizetype open, QChar close)
{
    return text.indexOf(close, open + 1);
}

// Length of an AM/PM or A/P marker starting at the position, 0 when there is none.
qsizetype amPmMarkerLength(QStringView text, qsizetype at)
{
    for (const QString &marker : {AmPmMarker, APMarker})
        if (text.mid(at).startsWith(marker, Qt::CaseInsensitive))
            return marker.size();
    return 0;
}

// The code up to its first unquoted ";": further sections are for negative numbers, zero and
// text, never for a date.
QStringView firstSection(QStringView code)
{
    for (qsizetype i = 0; i < code.size(); ++i) {
        switch (code[i].unicode()) {
        case u'"': {
            const qsizetype close = closingIndex(code, i, u'"');
            if (close < 0)
                return code;
            i = close;
            break;
        }
        case u'\\':
            ++i;
            break;
        case u';':
            return code.left(i);
        default:
            break;
        }
    }
    return code;
}

QChar localeDateSeparator()
{
    const QString shortFormat = QLocale().dateFormat(QLocale::ShortFormat);
    for (const QChar c : shortFormat)
        if (!c.isLetterOrNumber())
            return c;
    return u'.';
}

// How often the letter at the position repeats, in either case.
qsizetype letterRunLength(QStringView text, qsizetype at)
{
    qsizetype length = 1;
    while (at + length < text.size() && text[at + length].toLower() == text[at].toLower())
        ++length;
    return length;
}

enum class Kind {
    Literal,
    Year,
    Month,
    Day,
    Hour,
    Minute,
    Second,
    AmPm,
    MonthOrMinute,
};

struct Token
{
    Kind kind;
    qsizetype length = 0; // of a field: how often its letter is repeated
    QString literal;
    bool upperCase = false; // of an AM/PM marker
};

using Tokens = QList<Token>;

bool isDateKind(Kind kind)
{
    return kind == Kind::Year || kind == Kind::Month || kind == Kind::Day;
}

bool isTimeKind(Kind kind)
{
    return kind == Kind::Hour || kind == Kind::Minute || kind == Kind::Second || kind == Kind::AmPm;
}

Kind kindOfLetter(QChar letter, qsizetype length)
{
    switch (letter.toLower().unicode()) {
    case u'y':
        return Kind::Year;
    case u'm':
        return length >= 3 ? Kind::Month : Kind::MonthOrMinute;
    case u'd':
        return Kind::Day;
    case u'h':
        return Kind::Hour;
    case u's':
        return Kind::Second;
    default:
        return Kind::Literal;
    }
}

QString qtPattern(const Token &token)
{
    const auto repeat = [&token](char16_t letter, qsizetype longest) {
        return QString(qMin(token.length, longest), QChar(letter));
    };
    switch (token.kind) {
    case Kind::Literal:
        if (std::none_of(token.literal.cbegin(), token.literal.cend(),
                         [](QChar c) { return c.isLetter() || c == u'\''; }))
            return token.literal;
        // Letters would be read as fields; a quote inside quotes is written twice.
        return u'\'' + QString(token.literal).replace(u'\'', QStringLiteral("''")) + u'\'';
    case Kind::Year:
        return token.length <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
    case Kind::Month:
        return repeat(u'M', 4);
    case Kind::Day:
        return repeat(u'd', 4);
    case Kind::Hour:
        return repeat(u'h', 2);
    case Kind::Minute:
    case Kind::MonthOrMinute:
        return repeat(u'm', 2);
    case Kind::Second:
        return repeat(u's', 2);
    case Kind::AmPm:
        return token.upperCase ? QStringLiteral("AP") : QStringLiteral("ap");
    }
    return {};
}

void appendLiteral(Tokens &tokens, QStringView text)
{
    if (text.isEmpty())
        return;
    if (!tokens.isEmpty() && tokens.constLast().kind == Kind::Literal)
        tokens.last().literal += text;
    else
        tokens.append({Kind::Literal, 0, text.toString(), false});
}

void appendField(Tokens &tokens, Kind kind, qsizetype length, bool upperCase = false)
{
    tokens.append({kind, length, QString(), upperCase});
}

Tokens tokenize(QStringView code)
{
    Tokens tokens;
    qsizetype i = 0;
    while (i < code.size()) {
        const QChar c = code[i];
        switch (c.unicode()) {
        case u'"': {
            const qsizetype close = closingIndex(code, i, u'"');
            const qsizetype end = close < 0 ? code.size() : close;
            appendLiteral(tokens, code.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        case u'\\':
            appendLiteral(tokens, code.mid(i + 1, 1));
            i += 2;
            continue;
        case u'_': // padding as wide as the next character
            appendLiteral(tokens, u" ");
            i += 2;
            continue;
        case u'*': // fills the cell with the next character
            i += 2;
            continue;
        case u'[': {
            // Locale, currency, colour and condition blocks say nothing about the fields.
            const qsizetype close = closingIndex(code, i, u']');
            if (close < 0)
                return tokens;
            // [h], [mm], [ss]: elapsed hours, minutes or seconds.
            const QStringView inner = code.mid(i + 1, close - i - 1);
            const Kind kind = inner.isEmpty() ? Kind::Literal : kindOfLetter(inner.front(), 1);
            const bool elapsed =
                kind == Kind::Hour || kind == Kind::MonthOrMinute || kind == Kind::Second;
            if (elapsed && letterRunLength(inner, 0) == inner.size())
                appendField(tokens, kind == Kind::MonthOrMinute ? Kind::Minute : kind,
                            inner.size());
            i = close + 1;
            continue;
        }
        default:
            break;
        }
        if (const qsizetype markerLength = amPmMarkerLength(code, i)) {
            appendField(tokens, Kind::AmPm, markerLength, c.isUpper());
            i += markerLength;
            continue;
        }
        const qsizetype length = letterRunLength(code, i);
        const Kind kind = kindOfLetter(c, length);
        if (kind == Kind::Literal)
            appendLiteral(tokens, code.mid(i, length));
        else
            appendField(tokens, kind, length);
        i += length;
    }
    return tokens;
}

void resolveMonthsAndMinutes(Tokens &tokens)
{
    const auto neighbourField = [&tokens](qsizetype from, qsizetype step) {
        for (qsizetype i = from + step; i >= 0 && i < tokens.size(); i += step)
            if (tokens.at(i).kind != Kind::Literal)
                return tokens.at(i).kind;
        return Kind::Literal;
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens.at(i).kind != Kind::MonthOrMinute)
            continue;
        const bool minute =
            neighbourField(i, -1) == Kind::Hour || neighbourField(i, 1) == Kind::Second;
        tokens[i].kind = minute ? Kind::Minute : Kind::Month;
    }
}

qsizetype firstIndexOf(const Tokens &tokens, bool (*matches)(Kind))
{
    for (qsizetype i = 0; i < tokens.size(); ++i)
        if (matches(tokens.at(i).kind))
            return i;
    return -1;
}

QString join(const Tokens &tokens, qsizetype first, qsizetype last, bool dropTrailingLiteral)
{
    while (dropTrailingLiteral && last > first && tokens.at(last - 1).kind == Kind::Literal)
        --last;
    QString pattern;
    for (qsizetype i = first; i < last; ++i)
        pattern += qtPattern(tokens.at(i));
    return pattern;
}

// The fields of the group that comes first, and the text before them; or those of the group
// that comes second to the end of the code.
QString partPattern(const Tokens &tokens, qsizetype ownFirst, qsizetype otherFirst)
{
    if (ownFirst < 0)
        return {};
    if (otherFirst < 0)
        return join(tokens, 0, tokens.size(), false);
    return ownFirst < otherFirst ? join(tokens, 0, otherFirst, true)
                                 : join(tokens, ownFirst, tokens.size(), false);
}

} // namespace

ExcelDateFormat::ExcelDateFormat(const QString &code)
{
    QString section = firstSection(code).toString();
    applyLocaleDateSeparator(section);
    Tokens tokens = tokenize(section);
    resolveMonthsAndMinutes(tokens);
    const qsizetype firstDate = firstIndexOf(tokens, isDateKind);
    const qsizetype firstTime = firstIndexOf(tokens, isTimeKind);
    m_qtFormat = join(tokens, 0, tokens.size(), false);
    m_dateQtFormat = firstTime < 0 ? m_qtFormat : partPattern(tokens, firstDate, firstTime);
    m_timeQtFormat = partPattern(tokens, firstTime, firstDate);
}

QString excelFormatToQtDateFormat(const QString &format)
{
    return ExcelDateFormat(format).qtFormat();
}

void applyLocaleDateSeparator(QString &format)
{
    const QChar separator = localeDateSeparator();
    for (qsizetype i = 0; i < format.size(); ++i) {
        switch (format[i].unicode()) {
        case u'"': {
            const qsizetype close = closingIndex(format, i, u'"');
            i = close < 0 ? format.size() : close;
            break;
        }
        case u'[': {
            const qsizetype close = closingIndex(format, i, u']');
            i = close < 0 ? format.size() : close;
            break;
        }
        case u'\\':
            ++i;
            break;
        case u'/':
            format[i] = separator;
            break;
        default:
            if (const qsizetype markerLength = amPmMarkerLength(format, i))
                i += markerLength - 1;
            break;
        }
    }
}

} // namespace QXlsx
