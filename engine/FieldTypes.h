#pragma once

#include <QMap>
#include <QString>

// The 24 field types a column can be pseudonymised as. A column's choice is
// stored as the placeholder text of its type; templates are resolved through
// placeholderTable.
using FieldType = qint32;

namespace vondrel {

namespace FieldTypeId {
enum : FieldType {
    Text = 1,
    Email,
    Place,
    Name,
    Street,
    StreetNo,
    Zip,
    Company,
    Phone,
    TaxNo,
    VatId,
    Domain,
    Ip,
    Num,
    Uuid,
    AmountComma,
    AmountDot,
    Integer,
    Iban,
    Bic,
    Date,
    DateTime,
    DateConvert,
    DateTimeConvert,
};
constexpr FieldType First = Text;
constexpr FieldType Last = DateTimeConvert;
} // namespace FieldTypeId

struct FieldTypeInfo
{
    FieldType id;
    const char *placeholder;
    // Untranslated German label; translate in the context "Dialog".
    const char *label;
};

// All 24 types in id order.
extern const FieldTypeInfo fieldTypeInfos[24];

// The translated label of a type id; empty for an unknown id.
QString fieldTypeLabel(int id);

} // namespace vondrel

// Placeholder text -> type id, iterated in code-unit order of the placeholder.
extern const QMap<QString, FieldType> placeholderTable;

// The placeholder of a type id; "<TEXT>" for any id that is not a field type.
QString placeholderForFieldType(int id);
