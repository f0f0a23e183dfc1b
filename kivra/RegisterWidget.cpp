#include "RegisterWidget.h"

#include "WidgetProperties.h"

namespace kivra {

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

} // namespace kivra
