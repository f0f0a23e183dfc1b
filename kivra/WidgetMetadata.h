#pragma once

#include "FieldFlags.h"

class QWidget;

namespace kivra {

// Readers of the metadata properties that registration puts on every widget.

// The widget's field flags; empty when the widget is null or its flag property is missing
// or not exactly 256 bits long.
FieldFlags widgetFlags(const QWidget *widget);
// False for a null widget; else whether the widget's flags share a set bit with mask.
bool widgetHasFlags(const QWidget *widget, const FieldFlags &mask);

// The widget's own kind and the record's type code; 0 when null or absent.
int widgetKind(const QWidget *widget);
int widgetSubKind(const QWidget *widget);
void setWidgetKind(QWidget *widget, int kind);

} // namespace kivra
