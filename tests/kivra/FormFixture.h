#pragma once

#include "FieldFlags.h"
#include "MetaTypes.h"
#include "ReservedKeys.h"
#include "WidgetProperties.h"

#include <QVariantMap>
#include <QWidget>

// A value map with widgets registered the way the form builder registers them, for tests
// that work on the value layer without building a form.
struct FormFixture
{
    QWidget window;
    QVariantMap vars;
    int position = 0;

    template<class W>
    W *add(const QString &name, int kind, int subKind, const kivra::FieldFlags &flags = {},
           const QVariantMap &options = {})
    {
        auto *widget = new W(&window);
        registerAs(name, widget, kind, subKind, flags, options);
        return widget;
    }

    void registerAs(const QString &name, QWidget *widget, int kind, int subKind,
                    const kivra::FieldFlags &flags = {}, const QVariantMap &options = {})
    {
        widget->setProperty(kivra::WidgetProperty::type, kind);
        widget->setProperty(kivra::WidgetProperty::typeExt, subKind);
        widget->setProperty(kivra::WidgetProperty::pos, position++);
        widget->setProperty(kivra::WidgetProperty::paramName, name);
        widget->setProperty(kivra::WidgetProperty::flags, kivra::flagsToBitArray(flags));
        widget->setProperty(kivra::WidgetProperty::options, options);
        const QString key = kivra::widgetDataKey(name);
        auto list = vars.value(key).value<kivra::WIDGET_INFO>();
        list.append(widget);
        vars.insert(key, QVariant::fromValue(list));
    }
};
