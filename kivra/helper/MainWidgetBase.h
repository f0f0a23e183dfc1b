#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QString>
#include <QVariant>

class QWidget;

namespace kivra::helper {

// What both framework window classes keep about the form they show. Not polymorphic: the
// windows are found through QObject::qt_metacast("MainWidgetBase").
class MainWidgetBase
{
public:
    void init(FormFlags formFlags, const INFO &windowRecord, QMap<QString, QVariant> *values,
              QWidget *window);

    const INFO &windowRecord() const { return m_windowRecord; }
    // The form's value map; not owned.
    QMap<QString, QVariant> *values() const { return m_values; }
    QWidget *window() const { return m_window; }
    FormFlags formFlags() const { return m_formFlags; }

private:
    INFO m_windowRecord;
    QMap<QString, QVariant> *m_values = nullptr;
    QWidget *m_window = nullptr;
    FormFlags m_formFlags = 0;
};

} // namespace kivra::helper
