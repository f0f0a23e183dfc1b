#include "StorableValue.h"

#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>

namespace kivra {

namespace {

template<class Container>
bool allStorable(const Container &values)
{
    return std::all_of(values.cbegin(), values.cend(), isStorableValue);
}

} // namespace

bool isStorableValue(const QVariant &value)
{
    if (!value.isValid())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::QVariantList:
        return allStorable(value.toList());
    case QMetaType::QVariantMap:
        return allStorable(value.toMap());
    case QMetaType::QVariantHash:
        return allStorable(value.toHash());
    default:
        break;
    }
    // A variant nested in a variant is written as its content.
    if (value.metaType() == QMetaType::fromType<QVariant>())
        return isStorableValue(*static_cast<const QVariant *>(value.constData()));
    return value.metaType().hasRegisteredDataStreamOperators();
}

} // namespace kivra
