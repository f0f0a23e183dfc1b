#pragma once

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// Size options are keyed per widget: the option word followed by the widget's kind, its
// sub-kind or its index among the field's widgets ("maxwidth50006", "minwidth0").

// Applies minwidth, maxwidth, minheight, maxheight, sizepolicyh, sizepolicyv, fixedwidth and
// fixedheight, keyed by kind, then sub-kind, then index: the later key wins.
void applySizeOptions(QWidget *widget, int index, const QMap<QString, QVariant> &options);

// The layout stretch of a widget: stretch keyed by kind, else sub-kind, else index; the
// first found wins. 0 for a gone widget, null options or no stretch.
int stretchFor(const QPointer<QWidget> &widget, int index, const QMap<QString, QVariant> *options);

} // namespace kivra
