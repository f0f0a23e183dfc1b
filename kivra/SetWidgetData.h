#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace kivra {

// Applies a map of values to a form by field name: each value goes into the widget
// registered under its key (with the widget's signals blocked, so no callback fires) and
// into the form's value map (a bound variable receives it; a missing key is not created).
// Reserved keys are never applied. With reemit the filled widgets re-emit their change
// signal afterwards (chooser buttons a click), so that the handlers report the new values.
// True when every key found a place; at once true when values is the form's own map.
bool setWidgetData(QMap<QString, QVariant> *vars, const QMap<QString, QVariant> &values,
                   bool reemit);

} // namespace kivra
