#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace kivra {

// For a name without any registered widget: puts value into the menu actions or other
// objects registered under it; true when one took it.
bool applyMenuValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value);

} // namespace kivra
