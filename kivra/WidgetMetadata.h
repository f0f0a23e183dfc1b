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

// Whether the widget passes a lookup filter: a base code (20000..49999) is compared with its
// kind, a sub-kind code (50000..59999) with its sub-kind; any other code passes every widget.
bool widgetMatchesCode(const QWidget *widget, int code);

// The running position of the widget's registration, the sort key of widget lists; -1 when
// the widget is null or has no valid position.
int widgetPos(const QWidget *widget);

} // namespace kivra
