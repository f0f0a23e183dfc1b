#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

class QObject;

// Values between widgets and the value map: reading and writing one widget, the change
// handler that keeps the map current and asks the callbacks, re-emitting a change, applying
// a whole map to a form, and the lenient integer conversions of entered texts.
namespace kivra {

// Reads (set false) the value of a value widget into *value, or writes (set true) *value
// into it: spin boxes, date and date-time edits, text edits (HTML when they accept rich
// text), plain text edits, line edits and check boxes (int 1 or 0). Widgets of other classes
// are left alone and leave *value unchanged. With blockSignals a write runs with the signals
// of the widget and of its inner line edit blocked, restoring their former blocking after.
void getSetWidgetValue(QWidget *widget, bool set, bool blockSignals, QVariant *value);

// The change handler of every value widget. Reads the widget's value; for a field with
// kAskBefore asks kBeforeDataChanged (field, then window), restoring the widget on a veto
// or showing a value a callback rewrote; stores a changed value under the field's name
// (fallbackName when unnamed) and fires kAfterDataChanged. Unchanged values are reported
// only in forced-change mode. A key the map lacks is not created.
void onWidgetValueChanged(const INFO &field, const INFO &windowRecord,
                          const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                          const QVariant &signalValue, QMap<QString, QVariant> *vars,
                          const QString &fallbackName);

// True only while reemitChange emits: the change handler then reports a value to the
// after-callbacks even when it did not change.
bool isForcedChange();

// Emits the object's own change signal once, in forced-change mode, so that the connected
// handler reports its current value. skipIfEmpty skips an empty widget (a line edit without
// text, a combo box without current item, ...); immediate picks the per-value signal of spin
// boxes and date edits instead of editingFinished. Other objects get nothing.
void reemitChange(QObject *object, bool skipIfEmpty, bool immediate);

// Applies a map of values to a form by field name: each value goes into the widget
// registered under its key (with the widget's signals blocked, so no callback fires) and
// into the form's value map (a bound variable receives it; a missing key is not created).
// Reserved keys are never applied. With reemit the filled widgets re-emit their change
// signal afterwards (chooser buttons a click), so that the handlers report the new values.
// True when every key found a place; at once true when values is the form's own map.
bool setWidgetData(QMap<QString, QVariant> *vars, const QMap<QString, QVariant> &values,
                   bool reemit);

// Lenient integer conversions: a text is cut before its first "." and then converted
// ("12.9" gives 12, "-3.5" gives -3); any other type converts directly.
QVariant variantToIntString(const QVariant &value);
int variantToInt(const QVariant &value);
qlonglong variantToLongLong(const QVariant &value);
qulonglong variantToULongLong(const QVariant &value);

} // namespace kivra
