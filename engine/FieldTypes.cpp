#include "FieldTypes.h"

#include <QCoreApplication>

namespace vondrel {

const FieldTypeInfo fieldTypeInfos[24] = {
    {FieldTypeId::Text, "<TEXT>", QT_TRANSLATE_NOOP("Dialog", "Text")},
    {FieldTypeId::Email, "<EMAIL>", QT_TRANSLATE_NOOP("Dialog", "Email")},
    {FieldTypeId::Place, "<PLACE>", QT_TRANSLATE_NOOP("Dialog", "Ort")},
    {FieldTypeId::Name, "<NAME>", QT_TRANSLATE_NOOP("Dialog", "Name")},
    {FieldTypeId::Street, "<STREET>", QT_TRANSLATE_NOOP("Dialog", "Strasse")},
    {FieldTypeId::StreetNo, "<STREET_NO>", QT_TRANSLATE_NOOP("Dialog", "Strasse Nr")},
    {FieldTypeId::Zip, "<ZIP>", QT_TRANSLATE_NOOP("Dialog", "PLZ")},
    {FieldTypeId::Company, "<COMPANY>", QT_TRANSLATE_NOOP("Dialog", "Firma")},
    {FieldTypeId::Phone, "<PHONE>", QT_TRANSLATE_NOOP("Dialog", "Telefon")},
    {FieldTypeId::TaxNo, "<TAXNO>", QT_TRANSLATE_NOOP("Dialog", "Steuernummer")},
    {FieldTypeId::VatId, "<VATID>", QT_TRANSLATE_NOOP("Dialog", "USt-ID")},
    {FieldTypeId::Domain, "<DOMAIN>", QT_TRANSLATE_NOOP("Dialog", "Domain")},
    {FieldTypeId::Ip, "<IP>", QT_TRANSLATE_NOOP("Dialog", "IP")},
    {FieldTypeId::Num, "<NUM>", QT_TRANSLATE_NOOP("Dialog", "Fortlaufende Zahl")},
    {FieldTypeId::Uuid, "<UUID>", QT_TRANSLATE_NOOP("Dialog", "Uuid")},
    {FieldTypeId::AmountComma, "<AMOUNT_COMMA>", QT_TRANSLATE_NOOP("Dialog", "Betrag (Komma)")},
    {FieldTypeId::AmountDot, "<AMOUNT_DOT>", QT_TRANSLATE_NOOP("Dialog", "Betrag (Punkt)")},
    {FieldTypeId::Integer, "<INTEGER>", QT_TRANSLATE_NOOP("Dialog", "Ganzzahl")},
    {FieldTypeId::Iban, "<IBAN>", QT_TRANSLATE_NOOP("Dialog", "IBAN")},
    {FieldTypeId::Bic, "<BIC>", QT_TRANSLATE_NOOP("Dialog", "BIC")},
    {FieldTypeId::Date, "<DATE>", QT_TRANSLATE_NOOP("Dialog", "Datum")},
    {FieldTypeId::DateTime, "<DATETIME>", QT_TRANSLATE_NOOP("Dialog", "Datum-Zeit")},
    {FieldTypeId::DateConvert, "<DATE_CONVERT>", QT_TRANSLATE_NOOP("Dialog", "Datum zu Text *")},
    {FieldTypeId::DateTimeConvert, "<DATETIME_CONVERT>",
     QT_TRANSLATE_NOOP("Dialog", "Datum-Zeit zu Text *")},
};

QString fieldTypeLabel(int id)
{
    if (id < FieldTypeId::First || id > FieldTypeId::Last)
        return {};
    return QCoreApplication::translate("Dialog", fieldTypeInfos[id - 1].label);
}

} // namespace vondrel

namespace FieldTypeId = vondrel::FieldTypeId;
using vondrel::fieldTypeInfos;

namespace {

QMap<QString, FieldType> buildPlaceholderTable()
{
    QMap<QString, FieldType> table;
    for (const vondrel::FieldTypeInfo &info : fieldTypeInfos)
        table.insert(QString::fromLatin1(info.placeholder), info.id);
    return table;
}

} // namespace

// QMap orders QString keys by UTF-16 code units, which is the order templates are
// resolved in ("<DATE>" before "<DATETIME>", "<DATETIME_CONVERT>" before "<DATE_CONVERT>").
const QMap<QString, FieldType> placeholderTable = buildPlaceholderTable();

QString placeholderForFieldType(int id)
{
    if (id < FieldTypeId::First || id > FieldTypeId::Last)
        return QStringLiteral("<TEXT>");
    return QString::fromLatin1(fieldTypeInfos[id - 1].placeholder);
}
