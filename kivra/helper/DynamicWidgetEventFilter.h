#pragma once

#include <QObject>
#include <QString>

#include <set>

class QWidget;

namespace kivra::helper {

// Keeps the mouse wheel away from watched widgets of the given classes while they have no
// focus, and gives them a focus policy that lets a click take focus.
class DynamicWidgetEventFilter : public QObject
{
    Q_OBJECT

public:
    DynamicWidgetEventFilter(const std::set<QString> &classNames, QObject *parent);

    // Installs a filter for the widget's own class on it; the widget owns the filter.
    static DynamicWidgetEventFilter *installOn(QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::set<QString> m_classNames;
};

} // namespace kivra::helper
