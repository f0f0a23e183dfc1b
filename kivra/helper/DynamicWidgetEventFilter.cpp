#include "DynamicWidgetEventFilter.h"

#include <QEvent>
#include <QWidget>

namespace kivra::helper {

DynamicWidgetEventFilter::DynamicWidgetEventFilter(const std::set<QString> &classNames,
                                                   QObject *parent)
    : QObject(parent)
    , m_classNames(classNames)
{ }

DynamicWidgetEventFilter *DynamicWidgetEventFilter::installOn(QWidget *widget)
{
    if (!widget)
        return nullptr;
    const QString className = QString::fromLatin1(widget->metaObject()->className());
    auto *filter = new DynamicWidgetEventFilter({className}, widget);
    widget->installEventFilter(filter);
    return filter;
}

bool DynamicWidgetEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    if (m_classNames.count(QString::fromLatin1(watched->metaObject()->className())) == 0)
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->focusPolicy() != Qt::StrongFocus)
        widget->setFocusPolicy(Qt::StrongFocus);
    if (event->type() == QEvent::Wheel && !widget->hasFocus())
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace kivra::helper
