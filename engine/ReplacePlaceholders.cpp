// Template resolution: how one cell value becomes its pseudonym.

#include "Pseudonymizer.h"

#include "EngineTables.h"
#include "NumberConversion.h"
#include "PseudoContext.h"

#include <QUuid>

using vondrel::DateTextSettings;
namespace FieldTypeId = vondrel::FieldTypeId;

namespace {

const QString unsupported = QStringLiteral("Unsupported");

QString scaledNumber(PseudoContext &context, FieldType type, const QString &text,
                     QChar *groupSeparatorOut, QVariant *valueOut)
{
    const bool integer = type == FieldTypeId::Integer;
    if (text.isEmpty() || !(integer ? context.scalesIntegers() : context.scalesAmounts()))
        return text;
    const double factor = integer ? context.intScaleFactor : context.floatScaleFactor;
    QString out;
    scaleNumericString(text, factor, out, type == FieldTypeId::AmountComma ? 0 : 1,
                       integer ? 0 : -1, groupSeparatorOut, valueOut);
    return out;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

QChar asciiUpper(QChar c)
{
    return c >= u'a' && c <= u'z' ? QChar(char16_t(c.unicode() - (u'a' - u'A'))) : c;
}

QString ibanPseudonym(PseudoContext &context, const QString &text)
{
    const QStringView head = QStringView(text).trimmed().left(2);
    // Two ASCII letters, as nearly every IBAN starts, are looked up as they are.
    // Any other text is upper-cased in full, where a letter may become two or a
    // non-ASCII one ASCII.
    if (head.size() == 2 && isAsciiLetter(head[0]) && isAsciiLetter(head[1])) {
        const QChar cc[] = {asciiUpper(head[0]), asciiUpper(head[1])};
        if (ibanLengthOf(cc[0].unicode(), cc[1].unicode()) == 0)
            return unsupported;
        return context.takeUniqueIban(QStringView(cc, 2));
    }
    const QString cc = head.toString().toUpper();
    if (cc.size() < 2 || !ibanLengthTable.contains(cc))
        return cc.isEmpty() ? QString() : unsupported;
    return context.takeUniqueIban(cc);
}

// Bank code and country of four and two letters, a location of two letters or
// digits, then an optional branch code of three.
bool hasBicForm(QStringView bic)
{
    if (bic.size() != 8 && bic.size() != 11)
        return false;
    for (qsizetype i = 0; i < bic.size(); ++i) {
        const QChar c = bic[i];
        const bool letter = c >= u'A' && c <= u'Z';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && (i < 6 || !digit))
            return false;
    }
    return true;
}

QString bicPseudonym(PseudoContext &context, const QString &text)
{
    if (text.size() < 8)
        return text.isEmpty() ? QString() : unsupported;
    const QStringView trimmed = QStringView(text).trimmed();
    // A BIC of ASCII characters is upper-cased aside; other text in full, where a
    // letter may become two.
    if (trimmed.size() == 8 || trimmed.size() == 11) {
        QChar bic[11];
        bool ascii = true;
        for (qsizetype i = 0; i < trimmed.size() && ascii; ++i) {
            ascii = trimmed[i].unicode() < 0x80;
            bic[i] = asciiUpper(trimmed[i]);
        }
        if (ascii) {
            const QStringView view(bic, trimmed.size());
            return hasBicForm(view) ? context.takeUniqueBic(view.mid(4, 2)) : unsupported;
        }
    }
    const QString bic = trimmed.toString().toUpper();
    if (!hasBicForm(bic))
        return unsupported;
    return context.takeUniqueBic(QStringView(bic).mid(4, 2));
}

QString dateText(const DateTextSettings &settings, const QDate &date)
{
    return settings.dateToTextISO ? date.toString(Qt::ISODate)
                                  : date.toString(settings.dateToTextFmt);
}

QString dateTimeText(const DateTextSettings &settings, const QDateTime &dateTime)
{
    return settings.dateTimeToTextISO ? dateTime.toString(Qt::ISODate)
                                      : dateTime.toString(settings.dateTimeToTextFmt);
}

QString shiftedDate(const PseudoContext &context, const QVariant &sourceValue, QVariant *valueOut)
{
    const QDate date = sourceValue.toDate();
    if (!date.isValid())
        return QString();
    const QDate shifted = context.engine.shiftDate(date, context.dateShiftPerDataSet);
    if (valueOut)
        *valueOut = shifted;
    return dateText(context.dateSettings, shifted);
}

QString shiftedDateTime(const PseudoContext &context, const QVariant &sourceValue,
                        QVariant *valueOut)
{
    const QDateTime dateTime = sourceValue.toDateTime();
    if (!dateTime.isValid())
        return QString();
    const QByteArray scope =
        context.dateShiftPerDataSet ? QByteArray() : dateTime.toString(Qt::ISODate).toUtf8();
    const QDateTime shifted = context.engine.shiftDateTimeForDataset(dateTime, scope);
    if (valueOut)
        *valueOut = shifted;
    return dateTimeText(context.dateSettings, shifted);
}

// The rules that replace the whole template by the value they generate.
QString wholeValue(PseudoContext &context, FieldType type, const QString &sourceText,
                   const QVariant &sourceValue, QChar *groupSeparatorOut, QVariant *valueOut)
{
    switch (type) {
    case FieldTypeId::AmountComma:
    case FieldTypeId::AmountDot:
    case FieldTypeId::Integer:
        return scaledNumber(context, type, sourceText, groupSeparatorOut, valueOut);
    case FieldTypeId::Iban:
        return ibanPseudonym(context, sourceText);
    case FieldTypeId::Bic:
        return bicPseudonym(context, sourceText);
    case FieldTypeId::Date:
        return shiftedDate(context, sourceValue, valueOut);
    case FieldTypeId::DateTime:
        return shiftedDateTime(context, sourceValue, valueOut);
    case FieldTypeId::DateConvert: {
        const QDate date = sourceValue.toDate();
        return date.isValid() ? dateText(context.dateSettings, date) : QString();
    }
    case FieldTypeId::DateTimeConvert: {
        const QDateTime dateTime = sourceValue.toDateTime();
        return dateTime.isValid() ? dateTimeText(context.dateSettings, dateTime) : QString();
    }
    default:
        return context.engine.keyedPseudonym(type, sourceText);
    }
}

} // namespace

QString Pseudonymizer::replaceWholeValue(PseudoContext &context, FieldType type,
                                         const QString &sourceText, const QVariant &sourceValue,
                                         QChar *groupSeparatorOut, QVariant *valueOut)
{
    return wholeValue(context, type, sourceText, sourceValue, groupSeparatorOut, valueOut);
}

QString Pseudonymizer::replacePlaceholders(PseudoContext &context, const QString &sourceText,
                                           const QVariant &sourceValue, QString templateText,
                                           int &typeOut, QChar *groupSeparatorOut,
                                           QVariant *valueOut)
{
    typeOut = 0;
    // The usual template is one placeholder alone: resolved without scanning,
    // with the same result, since no placeholder occurs inside another.
    const auto exact = placeholderTable.constFind(templateText);
    if (exact != placeholderTable.cend() && *exact != FieldTypeId::Num &&
        *exact != FieldTypeId::Uuid) {
        typeOut = *exact;
        return wholeValue(context, typeOut, sourceText, sourceValue, groupSeparatorOut, valueOut);
    }

    // Running numbers and UUIDs fill in their placeholder and keep the rest of
    // the template, so passes repeat until no placeholder is left; each pass
    // removes at least one, so this ends.
    for (bool found = true; found;) {
        found = false;
        for (auto it = placeholderTable.cbegin(); it != placeholderTable.cend(); ++it) {
            const qsizetype at = templateText.indexOf(it.key());
            if (at < 0)
                continue;
            found = true;
            typeOut = it.value();
            if (typeOut == FieldTypeId::Num) {
                templateText.replace(at, it.key().size(),
                                     QString::number(context.takeNextNumber()));
            } else if (typeOut == FieldTypeId::Uuid) {
                templateText.replace(at, it.key().size(),
                                     QUuid::createUuid().toString(QUuid::Id128));
            } else {
                // Every other rule yields the finished value. It may hold text
                // copied from the cell or from a date format, which must not be
                // read as a template again.
                return wholeValue(context, typeOut, sourceText, sourceValue, groupSeparatorOut,
                                  valueOut);
            }
        }
    }
    return templateText;
}
