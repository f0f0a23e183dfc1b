#pragma once

#include <kivra/Records.h>

#include <QWidget>

#include <vector>

namespace kivra {

// The order in which the items are shown: list order, or stable by text (case-sensitive).
std::vector<size_t> displayOrder(const T_LISTDATA &list, bool sort);

// Disables a widget's updates for a scope, restoring the former state.
class UpdatesOff
{
public:
    explicit UpdatesOff(QWidget *widget)
        : m_widget(widget)
        , m_wasEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesOff() { m_widget->setUpdatesEnabled(m_wasEnabled); }

private:
    Q_DISABLE_COPY_MOVE(UpdatesOff)

    QWidget *m_widget;
    bool m_wasEnabled;
};

} // namespace kivra
