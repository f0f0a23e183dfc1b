#include "WidgetMetadata.h"

#include "WidgetProperties.h"
#include "WidgetType.h"

#include <QBitArray>
#include <QVariant>
#include <QWidget>

namespace kivra {

namespace {

int intProperty(const QWidget *widget, const char *name)
{
    return widget ? widget->property(name).toInt() : 0;
}

} // namespace

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

} // namespace kivra
