#pragma once

#include <QVariant>

class QWidget;

namespace kivra {

// Reads (set false) the value of a value widget into *value, or writes (set true) *value
// into it: spin boxes, date and date-time edits, text edits (HTML when they accept rich
// text), plain text edits, line edits and check boxes (int 1 or 0). Widgets of other classes
// are left alone and leave *value unchanged. With blockSignals a write runs with the signals
// of the widget and of its inner line edit blocked, restoring their former blocking after.
void getSetWidgetValue(QWidget *widget, bool set, bool blockSignals, QVariant *value);

} // namespace kivra
