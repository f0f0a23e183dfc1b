#include "WidgetRegistry.h"

#include "ReservedKeys.h"
#include "WidgetMetadata.h"
#include "WidgetType.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

namespace kivra {

namespace {

QWidget *castTo(const QMetaObject &type, QWidget *widget)
{
    return widget && type.cast(widget) ? widget : nullptr;
}

} // namespace

WIDGET_INFO widgetsByName(const QMap<QString, QVariant> *vars, const QString &name)
{
    if (!vars)
        return {};
    return vars->value(widgetDataKey(name)).value<WIDGET_INFO>();
}

QPointer<QWidget> widgetByName(const QMap<QString, QVariant> *vars, const QString &name, int index)
{
    return widgetAt(widgetsByName(vars, name), index);
}

QPointer<QWidget> widgetAt(const WIDGET_INFO &list, int index)
{
    return index >= 0 && index < list.size() ? list.at(index) : QPointer<QWidget>();
}

QWidget *findRegisteredWidget(const QMap<QString, QVariant> *vars, const QString &name, int id,
                              int mode, const QMetaObject &type, QPointer<QWidget> *out)
{
    const bool isFilter = isBaseTypeCode(id) || isSubKindCode(id);
    if (isFilter && mode == kByIndex)
        mode = kFirstOfKind;

    if (mode == kByIndex) {
        const QPointer<QWidget> entry = widgetByName(vars, name, id);
        if (out)
            *out = entry;
        return castTo(type, entry);
    }
    if (mode != kFirstMatch && mode != kLastMatch && mode != kFirstOfKind)
        return nullptr;

    QPointer<QWidget> taken;
    for (const QPointer<QWidget> &entry : widgetsByName(vars, name)) {
        if (!castTo(type, entry) || !widgetMatchesCode(entry, id))
            continue;
        taken = entry;
        if (mode != kLastMatch)
            break;
    }
    if (taken && out)
        *out = taken;
    return taken.data();
}

QCheckBox *toCheckBox(const QPointer<QWidget> &widget)
{
    return qobject_cast<QCheckBox *>(widget.data());
}

QLabel *toLabel(const QPointer<QWidget> &widget)
{
    return qobject_cast<QLabel *>(widget.data());
}

QLineEdit *toLineEdit(const QPointer<QWidget> &widget)
{
    return qobject_cast<QLineEdit *>(widget.data());
}

QMenuBar *toMenuBar(const QPointer<QWidget> &widget)
{
    return qobject_cast<QMenuBar *>(widget.data());
}

QPushButton *toPushButton(const QPointer<QWidget> &widget)
{
    return qobject_cast<QPushButton *>(widget.data());
}

QTextEdit *toTextEdit(const QPointer<QWidget> &widget)
{
    return qobject_cast<QTextEdit *>(widget.data());
}

QToolButton *toToolButton(const QPointer<QWidget> &widget)
{
    return qobject_cast<QToolButton *>(widget.data());
}

} // namespace kivra
