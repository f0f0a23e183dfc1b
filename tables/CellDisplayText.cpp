#include "CellDisplayText.h"

#include "ExcelDateFormat.h"

#include <xlsx/Cell.h>
#include <xlsx/NumberFormats.h>

#include <QDateTime>
#include <QHash>
#include <QLocale>

namespace QXlsx {

namespace {

constexpr int LocaleShortDateId = 14;
constexpr int LocaleShortDateTimeId = 22;

// The default locale's short date as a number format code, with a four-digit year so that no
// century is guessed: German gives dd.mm.yyyy, US English m/d/yyyy.
QString localeShortDateCode()
{
    const QString pattern = QLocale().dateFormat(QLocale::ShortFormat);
    QString code;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                code += QStringLiteral("\\'");
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (!quoted && c == u'y') {
            qsizetype length = 1;
            while (i + length < pattern.size() && pattern[i + length] == u'y')
                ++length;
            code += QStringLiteral("yyyy");
            i += length - 1;
        } else if (!quoted && (c == u'd' || c == u'M')) {
            code += c.toLower();
        } else {
            code += u'\\';
            code += c;
        }
    }
    return code;
}

QString displayedCode(const QString &code)
{
    switch (builtInNumberFormatId(code)) {
    case LocaleShortDateId:
        return localeShortDateCode();
    case LocaleShortDateTimeId:
        return localeShortDateCode() + QStringLiteral(" h:mm");
    default:
        return code;
    }
}

// Reading a code costs more than formatting a date with it, and a sheet uses few codes, so the
// read formats are kept until the default locale changes.
vondrel::ExcelDateFormat formatOf(const QString &code)
{
    constexpr qsizetype MaxKeptFormats = 256;
    thread_local QLocale locale;
    thread_local QHash<QString, vondrel::ExcelDateFormat> formats;
    if (locale != QLocale() || formats.size() >= MaxKeptFormats) {
        locale = QLocale();
        formats.clear();
    }
    auto it = formats.constFind(code);
    if (it == formats.cend())
        it = formats.insert(code, vondrel::ExcelDateFormat(displayedCode(code)));
    return *it;
}

// A code with elapsed times or fractions of a second, shown from the serial number itself: the
// part that fits the value, as for other codes, except that an elapsed time shows a whole
// number of days as hours, minutes or seconds.
QString serialText(const vondrel::ExcelDateFormat &format, const Cell &cell, const QVariant &value)
{
    using Format = vondrel::ExcelDateFormat;
    Format::Part part = Format::WholeCode;
    if (value.typeId() == QMetaType::QTime)
        part = Format::TimePart;
    else if (value.typeId() == QMetaType::QDate)
        part = format.hasPart(Format::DatePart) ? Format::DatePart : Format::TimePart;
    if (!format.hasPart(part))
        return cell.value().toString();
    return format.formatSerial(cell.value().toDouble(), cell.isDate1904(), part, QLocale());
}

} // namespace

QString cellDisplayText(const Cell *cell)
{
    if (!cell)
        return {};
    const QString code = cell->format().numberFormat();
    if (code.isEmpty() || !cell->isDateTime())
        return cell->value().toString();

    const vondrel::ExcelDateFormat format = formatOf(code);
    const QLocale locale;
    const QVariant value = cell->dateTime();
    if (format.needsSerial() && value.isValid())
        return serialText(format, *cell, value);
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        const QString pattern = format.qtFormat();
        if (!dateTime.isValid())
            break;
        return pattern.isEmpty() ? dateTime.toString(Qt::ISODate)
                                 : locale.toString(dateTime, pattern);
    }
    case QMetaType::QDate: {
        const QDate date = value.toDate();
        const QString pattern = format.dateQtFormat();
        if (!date.isValid())
            break;
        if (!pattern.isEmpty())
            return locale.toString(date, pattern);
        // A time format on a whole number: midnight, not a date nobody asked for.
        const QString timePattern = format.timeQtFormat();
        return timePattern.isEmpty() ? date.toString(Qt::ISODate)
                                     : locale.toString(QTime(0, 0), timePattern);
    }
    case QMetaType::QTime: {
        const QTime time = value.toTime();
        const QString pattern = format.timeQtFormat();
        if (!time.isValid() || pattern.isEmpty())
            break;
        return locale.toString(time, pattern);
    }
    default:
        break;
    }
    return cell->value().toString();
}

} // namespace QXlsx
