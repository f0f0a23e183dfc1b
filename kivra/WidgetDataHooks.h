#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

class QWidget;

namespace kivra {

// Steps of setWidgetData that belong to the image widget and to the menus.

// Makes value the image of an image widget (type 20007); true when it was applied.
bool applyImageValue(QWidget *imageWidget, const QVariant &value);

// For a name without any registered widget: puts value into the menu actions or other
// objects registered under it; true when one took it.
bool applyMenuValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value);

} // namespace kivra
