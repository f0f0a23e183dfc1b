#include "Registry.h"

#include "TypeCodes_p.h"

#include <QBitArray>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace kivra {

namespace {

QWidget *castTo(const QMetaObject &type, QWidget *widget)
{
    return widget && type.cast(widget) ? widget : nullptr;
}

int intProperty(const QWidget *widget, const char *name)
{
    return widget ? widget->property(name).toInt() : 0;
}

// Random, so it cannot collide with a field name.
constexpr char kFixedButtonSuffix[] = "7C3A9E51D0B84F26A1E5C97B30D2F864";

} // namespace

QString autoVarKey(const QString &name)
{
    return kAutoVarPrefix + name.trimmed();
}

QString widgetDataKey(const QString &name)
{
    return kWidgetDataPrefix + name.trimmed();
}

QString objectDataKey(const QString &name)
{
    return kObjectDataPrefix + name.trimmed();
}

QString nextAutoVarKey()
{
    static int counter = 0;
    return autoVarKey(QString::number(++counter));
}

bool isReservedKey(const QString &key)
{
    return key.startsWith(kAutoVarPrefix) || key.startsWith(kWidgetDataPrefix) ||
        key.startsWith(kObjectDataPrefix);
}

void stripReservedKeys(QVariantMap *vars)
{
    if (!vars)
        return;
    for (auto it = vars->begin(); it != vars->end();) {
        if (isReservedKey(it.key()))
            it = vars->erase(it);
        else
            ++it;
    }
}

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

FieldFlags widgetFlags(const QWidget *widget)
{
    const QBitArray bits =
        widget ? widget->property(WidgetProperty::flags).toBitArray() : QBitArray();
    return bits.size() == FieldFlags::kBitCount ? FieldFlags::fromBitArray(bits) : FieldFlags();
}

bool widgetHasFlags(const QWidget *widget, const FieldFlags &mask)
{
    return hasFlags(widgetFlags(widget), mask);
}

int widgetKind(const QWidget *widget)
{
    return intProperty(widget, WidgetProperty::type);
}

int widgetSubKind(const QWidget *widget)
{
    return intProperty(widget, WidgetProperty::typeExt);
}

void setWidgetKind(QWidget *widget, int kind)
{
    if (widget)
        widget->setProperty(WidgetProperty::type, kind);
}

bool widgetMatchesCode(const QWidget *widget, int code)
{
    if (isBaseTypeCode(code))
        return widgetKind(widget) == code;
    if (isSubKindCode(code))
        return widgetSubKind(widget) == code;
    return true;
}

int widgetPos(const QWidget *widget)
{
    if (!widget)
        return -1;
    bool ok = false;
    const int pos = widget->property(WidgetProperty::pos).toInt(&ok);
    return ok ? pos : -1;
}

void registerWidget(WIDGET_INFO &widgets, QWidget *widget, int baseCode, int subKind, int position,
                    const QString &name, const FieldFlags &flags, const QVariant &options,
                    QList<ReconnectEntry> *reconnect)
{
    if (!widget)
        return;
    widget->setProperty(WidgetProperty::type, baseCode);
    widget->setProperty(WidgetProperty::typeExt, subKind);
    widget->setProperty(WidgetProperty::pos, position);
    widget->setProperty(WidgetProperty::paramName, name);
    widget->setProperty(WidgetProperty::flags, flagsToBitArray(flags));
    widget->setProperty(WidgetProperty::options, options);
    widgets.append(widget);
    if (reconnect && hasFlags(flags, kEmitInitialChange | kEmitInitialChangeIfSet))
        reconnect->append(
            {hasFlags(flags, kImmediateUpdate), hasFlags(flags, kEmitInitialChangeIfSet), widget});
}

QList<QPointer<QWidget>> collectWidgets(const QMap<QString, QVariant> *vars, int code)
{
    QList<QPointer<QWidget>> result;
    if (!vars)
        return result;
    for (auto it = vars->cbegin(); it != vars->cend(); ++it) {
        const WIDGET_INFO widgets = widgetsByName(vars, it.key());
        for (const QPointer<QWidget> &widget : widgets) {
            if (!widget)
                break;
            if (widgetMatchesCode(widget, code))
                result.append(widget);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const QPointer<QWidget> &a, const QPointer<QWidget> &b) {
                         return widgetPos(a) < widgetPos(b);
                     });
    return result;
}

QString fixedButtonName(int subKind)
{
    const TypeCode *row = subKind < 0 ? nullptr : typeCodeOf(quint32(subKind));
    if (!row || !row->fixedNameStem)
        return {};
    return QLatin1String(row->fixedNameStem) + QLatin1String(kFixedButtonSuffix);
}

} // namespace kivra
