#pragma once

#include "FieldFlags.h"
#include "MetaTypes.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// A value widget whose change signal is emitted once more after the build, so that the
// callbacks see its initial value (kEmitInitialChange, kEmitInitialChangeIfSet).
struct ReconnectEntry
{
    // kImmediateUpdate: the per-value signal of spin boxes and date edits.
    bool immediate = false;
    // kEmitInitialChangeIfSet: skipped while the widget is empty.
    bool onlyIfSet = false;
    QPointer<QWidget> widget;
};

// Marks the widget with the field's metadata (kind, sub-kind, running position, field name,
// flags, options) and appends it to the field's widget list; with a reconnect list, a field
// with kEmitInitialChange or kEmitInitialChangeIfSet also puts it there. A null widget is
// ignored.
void registerWidget(WIDGET_INFO &widgets, QWidget *widget, int baseCode, int subKind, int position,
                    const QString &name, const FieldFlags &flags, const QVariant &options,
                    QList<ReconnectEntry> *reconnect);

} // namespace kivra
