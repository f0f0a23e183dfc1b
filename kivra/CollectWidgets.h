#pragma once

#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// The live widgets registered in the form's value map, ordered by their running position:
// those of one kind (a base code 20000..49999) or sub-kind (50000..59999), or all of them
// for any other code.
QList<QPointer<QWidget>> collectWidgets(const QMap<QString, QVariant> *vars, int code);

} // namespace kivra
