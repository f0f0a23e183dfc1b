#pragma once

#include <QMetaType>
#include <QObject>
#include <QVariant>

namespace kivra {

// Whether the variant holds a pointer to a QObject (of any class derived from it).
inline bool holdsObject(const QVariant &value)
{
    return (value.metaType().flags() & QMetaType::PointerToQObject) != 0;
}

// The object a variant points to, when it is a T; null for any other value.
template<class T>
T *objectFromValue(const QVariant &value)
{
    return holdsObject(value) ? qobject_cast<T *>(value.value<QObject *>()) : nullptr;
}

} // namespace kivra
