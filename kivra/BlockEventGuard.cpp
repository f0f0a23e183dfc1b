#include "BlockEventGuard.h"

#include "WidgetProperties.h"

#include <QVariant>

namespace kivra {

void setBlockEvent(const QPointer<QWidget> &widget, bool on)
{
    if (widget)
        widget->setProperty(WidgetProperty::blockEvent, on ? QVariant(true) : QVariant());
}

bool isEventBlocked(const QPointer<QWidget> &widget)
{
    if (!widget)
        return false;
    const QVariant blocked = widget->property(WidgetProperty::blockEvent);
    return blocked.isValid() && blocked.toBool();
}

BlockEventGuard::BlockEventGuard(const QPointer<QWidget> &widget)
    : m_widget(widget)
{
    setBlockEvent(m_widget, true);
}

BlockEventGuard::~BlockEventGuard()
{
    setBlockEvent(m_widget, false);
}

} // namespace kivra
