#include "PseudoSettings.h"

namespace FieldTypeId = vondrel::FieldTypeId;

namespace {

// Index into the 12-entry arrays, which have no slot for the postal code.
int indexWithoutZip(FieldType type)
{
    if (type >= FieldTypeId::Text && type < FieldTypeId::Zip)
        return type - 1;
    if (type > FieldTypeId::Zip && type <= FieldTypeId::Ip)
        return type - 2;
    return -1;
}

} // namespace

QString PseudoSettings::prefix(FieldType type) const
{
    const int index = indexWithoutZip(type);
    return index < 0 ? QString() : prefixes[size_t(index)];
}

int PseudoSettings::tokenLength(FieldType type) const
{
    if (type < FieldTypeId::Text || type > FieldTypeId::Ip)
        return 0;
    return tokenLengths[size_t(type - 1)];
}

int PseudoSettings::extLength(FieldType type) const
{
    if (type == FieldTypeId::Zip)
        return 3;
    const int index = indexWithoutZip(type);
    return index < 0 ? 0 : extLengths[size_t(index)];
}
