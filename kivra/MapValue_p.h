#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

// Reading and writing one entry of a form's value map where a field keeps its value: an entry
// bound to the caller's variable (T_VARIANT_PTR) is followed to that variable.
namespace kivra {

// Whether storing under a name the map lacks creates the entry. The change handler of value
// widgets never creates one (a key the form does not know stays unknown); the widget
// handlers do.
enum class MissingEntry { Skip, Create };

// The value under name, a bound variable followed; invalid for a null map, an empty name or
// a name the map lacks.
QVariant storedMapValue(QMap<QString, QVariant> *vars, const QString &name);

// Stores value under name: a bound variable receives it and the map keeps the pointer, any
// other entry is replaced, and a missing one is created only when asked for. False when
// nothing was stored.
bool storeMapValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value,
                   MissingEntry missing);

} // namespace kivra
