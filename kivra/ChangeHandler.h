#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// The change handler of every value widget. Reads the widget's value; for a field with
// kAskBefore asks kBeforeDataChanged (field, then window), restoring the widget on a veto
// or showing a value a callback rewrote; stores a changed value under the field's name
// (fallbackName when unnamed) and fires kAfterDataChanged. Unchanged values are reported
// only in forced-change mode. A key the map lacks is not created.
void onWidgetValueChanged(const INFO &field, const INFO &windowRecord,
                          const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                          const QVariant &signalValue, QMap<QString, QVariant> *vars,
                          const QString &fallbackName);

} // namespace kivra
