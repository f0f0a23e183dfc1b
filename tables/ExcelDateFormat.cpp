#include "ExcelDateFormat.h"

#include <xlsx/DateSerial.h>

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace vondrel {

namespace {

using Kind = ExcelDateFormat::Kind;
using Token = ExcelDateFormat::Token;
using Tokens = QList<Token>;

constexpr qint64 MsecsPerDay = 86400000;

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

bool isDateKind(Kind kind)
{
    return kind == Kind::Year || kind == Kind::Month || kind == Kind::Day;
}

bool isTimeKind(Kind kind)
{
    switch (kind) {
    case Kind::Hour:
    case Kind::Minute:
    case Kind::Second:
    case Kind::ElapsedHours:
    case Kind::ElapsedMinutes:
    case Kind::ElapsedSeconds:
    case Kind::SecondFraction:
    case Kind::AmPm:
        return true;
    default:
        return false;
    }
}

bool isSerialOnly(Kind kind)
{
    return kind == Kind::ElapsedHours || kind == Kind::ElapsedMinutes ||
        kind == Kind::ElapsedSeconds || kind == Kind::SecondFraction;
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
    case Kind::ElapsedHours:
        return repeat(u'h', 2);
    case Kind::Minute:
    case Kind::ElapsedMinutes:
    case Kind::MonthOrMinute:
        return repeat(u'm', 2);
    case Kind::Second:
    case Kind::ElapsedSeconds:
        return repeat(u's', 2);
    case Kind::SecondFraction:
        return u'.' + QString(token.length, u'0'); // no Qt field; formatSerial() shows it
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
            const Kind elapsed = kind == Kind::Hour ? Kind::ElapsedHours
                : kind == Kind::MonthOrMinute       ? Kind::ElapsedMinutes
                : kind == Kind::Second              ? Kind::ElapsedSeconds
                                                    : Kind::Literal;
            if (elapsed != Kind::Literal && letterRunLength(inner, 0) == inner.size())
                appendField(tokens, elapsed, inner.size());
            i = close + 1;
            continue;
        }
        default:
            break;
        }
        if (c == u'.' && i + 1 < code.size() && code[i + 1] == u'0' && !tokens.isEmpty() &&
            (tokens.constLast().kind == Kind::Second ||
             tokens.constLast().kind == Kind::ElapsedSeconds)) {
            // Fractions of a second: as many decimals as zeros, at most three.
            const qsizetype zeros = letterRunLength(code, i + 1);
            appendField(tokens, Kind::SecondFraction, qMin<qsizetype>(zeros, 3));
            if (zeros > 3)
                appendLiteral(tokens, code.mid(i + 4, zeros - 3));
            i += 1 + zeros;
            continue;
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
        const Kind before = neighbourField(i, -1);
        const Kind after = neighbourField(i, 1);
        const bool minute = before == Kind::Hour || before == Kind::ElapsedHours ||
            after == Kind::Second || after == Kind::ElapsedSeconds;
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

QString padded(qint64 value, qsizetype width)
{
    return QStringLiteral("%1").arg(value, int(qMin<qsizetype>(width, 20)), 10, QLatin1Char('0'));
}

// A field's text for a formatSerial() that has split the serial into these parts.
struct SerialParts
{
    QDate date;
    qint64 totalMsecs = 0;
    qint64 msecsOfDay = 0;
    bool twelveHour = false;
};

QString fieldText(const Token &token, const SerialParts &parts, const QLocale &locale)
{
    const qint64 hour = parts.msecsOfDay / 3600000;
    switch (token.kind) {
    case Kind::Literal:
        return token.literal;
    case Kind::Year:
        return token.length <= 2 ? padded(parts.date.year() % 100, 2)
                                 : padded(parts.date.year(), 4);
    case Kind::Month:
    case Kind::MonthOrMinute:
        if (token.length >= 3)
            return locale.monthName(parts.date.month(),
                                    token.length == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        return padded(parts.date.month(), token.length);
    case Kind::Day:
        if (token.length >= 3)
            return locale.dayName(parts.date.dayOfWeek(),
                                  token.length == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        return padded(parts.date.day(), token.length);
    case Kind::Hour:
        return padded(parts.twelveHour ? (hour + 11) % 12 + 1 : hour,
                      qMin<qsizetype>(token.length, 2));
    case Kind::Minute:
        return padded(parts.msecsOfDay / 60000 % 60, qMin<qsizetype>(token.length, 2));
    case Kind::Second:
        return padded(parts.msecsOfDay / 1000 % 60, qMin<qsizetype>(token.length, 2));
    case Kind::ElapsedHours:
        return padded(parts.totalMsecs / 3600000, token.length);
    case Kind::ElapsedMinutes:
        return padded(parts.totalMsecs / 60000, token.length);
    case Kind::ElapsedSeconds:
        return padded(parts.totalMsecs / 1000, token.length);
    case Kind::SecondFraction: {
        qint64 unit = 1;
        for (qsizetype i = token.length; i < 3; ++i)
            unit *= 10;
        return locale.decimalPoint() + padded(parts.msecsOfDay % 1000 / unit, token.length);
    }
    case Kind::AmPm: {
        const bool morning = hour < 12;
        const QString marker = token.length == 3
            ? (morning ? QStringLiteral("A") : QStringLiteral("P"))
            : (morning ? QStringLiteral("AM") : QStringLiteral("PM"));
        return token.upperCase ? marker : marker.toLower();
    }
    }
    return {};
}

} // namespace

ExcelDateFormat::ExcelDateFormat(const QString &code)
{
    QString section = firstSection(code).toString();
    QXlsx::applyLocaleDateSeparator(section);
    m_tokens = tokenize(section);
    resolveMonthsAndMinutes(m_tokens);
    m_needsSerial = std::any_of(m_tokens.cbegin(), m_tokens.cend(),
                                [](const Token &token) { return isSerialOnly(token.kind); });
    const qsizetype size = m_tokens.size();
    const qsizetype firstDate = firstIndexOf(m_tokens, isDateKind);
    const qsizetype firstTime = firstIndexOf(m_tokens, isTimeKind);
    // The fields of the group that comes first, and the text before them, without the text
    // after them; or those of the group that comes second to the end of the code.
    const auto part = [&](qsizetype own, qsizetype other) {
        if (own < 0)
            return Range();
        if (other < 0)
            return Range {0, size};
        if (other < own)
            return Range {own, size};
        qsizetype last = other;
        while (last > 0 && m_tokens.at(last - 1).kind == Kind::Literal)
            --last;
        return Range {0, last};
    };
    m_datePart = firstTime < 0 ? Range {0, size} : part(firstDate, firstTime);
    m_timePart = part(firstTime, firstDate);
    for (const Part shown : {WholeCode, DatePart, TimePart})
        m_patterns[shown] = pattern(shown);
}

ExcelDateFormat::Range ExcelDateFormat::range(Part part) const
{
    switch (part) {
    case DatePart:
        return m_datePart;
    case TimePart:
        return m_timePart;
    case WholeCode:
        break;
    }
    return Range {0, m_tokens.size()};
}

bool ExcelDateFormat::hasPart(Part part) const
{
    const Range r = range(part);
    return std::any_of(m_tokens.cbegin() + r.first, m_tokens.cbegin() + r.last,
                       [](const Token &token) { return token.kind != Kind::Literal; });
}

QString ExcelDateFormat::pattern(Part part) const
{
    const Range r = range(part);
    QString pattern;
    for (qsizetype i = r.first; i < r.last; ++i)
        pattern += qtPattern(m_tokens.at(i));
    return pattern;
}

QString ExcelDateFormat::formatSerial(double serial, bool date1904, Part part,
                                      const QLocale &locale) const
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466.0)
        return {};
    const Range r = range(part);
    // The smallest unit shown is rounded, as spreadsheet programs do: to whole seconds, or to
    // as many decimals as the fraction has.
    qint64 unit = 1000;
    for (qsizetype i = r.first; i < r.last; ++i) {
        if (m_tokens.at(i).kind != Kind::SecondFraction)
            continue;
        unit = 1;
        for (qsizetype digits = m_tokens.at(i).length; digits < 3; ++digits)
            unit *= 10;
    }
    SerialParts parts;
    parts.totalMsecs = std::llround(serial * MsecsPerDay / double(unit)) * unit;
    parts.msecsOfDay = parts.totalMsecs % MsecsPerDay;
    const QVariant day =
        QXlsx::datetimeFromNumber(double(parts.totalMsecs / MsecsPerDay), date1904);
    parts.date = day.toDate();
    parts.twelveHour = std::any_of(m_tokens.cbegin() + r.first, m_tokens.cbegin() + r.last,
                                   [](const Token &token) { return token.kind == Kind::AmPm; });
    QString text;
    for (qsizetype i = r.first; i < r.last; ++i)
        text += fieldText(m_tokens.at(i), parts, locale);
    return text;
}

} // namespace vondrel

namespace QXlsx {

QString excelFormatToQtDateFormat(const QString &format)
{
    return vondrel::ExcelDateFormat(format).qtFormat();
}

void applyLocaleDateSeparator(QString &format)
{
    const QChar separator = vondrel::localeDateSeparator();
    for (qsizetype i = 0; i < format.size(); ++i) {
        switch (format[i].unicode()) {
        case u'"': {
            const qsizetype close = vondrel::closingIndex(format, i, u'"');
            i = close < 0 ? format.size() : close;
            break;
        }
        case u'[': {
            const qsizetype close = vondrel::closingIndex(format, i, u']');
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
            if (const qsizetype markerLength = vondrel::amPmMarkerLength(format, i))
                i += markerLength - 1;
            break;
        }
    }
}

} // namespace QXlsx
