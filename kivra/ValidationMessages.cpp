#include "ValidationMessages.h"

#include <QObject>

namespace kivra {

const QMap<QString, QString> &validationMessages()
{
    static const QMap<QString, QString> messages {
        {ValidationRule::required,
         QObject::tr("Feld '%1': Es muss ein Wert eingetragen oder ausgewählt werden.")},
        {ValidationRule::regexPattern,
         QObject::tr("Feld '%1': Der Wert (%2) entspricht nicht dem Abfragemuster.")},
        {ValidationRule::fileMustExist,
         QObject::tr("Feld '%1': Die Datei oder Ordner existieren nicht (%2).")},
        {ValidationRule::tooShort,
         QObject::tr("Feld '%1': Der Text (%2) muss länger als %3 Zeichen sein.")},
        {ValidationRule::tooLong,
         QObject::tr("Feld '%1': Der Text (%2) muss kürzer als %3 Zeichen sein.")},
    };
    return messages;
}

QString validationMessage(const QString &rule, const QString &caption)
{
    return validationMessages().value(rule).arg(caption);
}

QString validationMessage(const QString &rule, const QString &caption, const QString &text)
{
    return validationMessages().value(rule).arg(caption, text);
}

QString validationMessage(const QString &rule, const QString &caption, const QString &text,
                          int limit)
{
    return validationMessages().value(rule).arg(caption, text, QString::number(limit));
}

} // namespace kivra
