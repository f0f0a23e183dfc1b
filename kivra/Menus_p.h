#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace kivra {

// The value writer's step for a name without any registered widget: puts value into the menu
// action whose "menuid" is the name; true when there is one.
bool applyMenuValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value);

} // namespace kivra
