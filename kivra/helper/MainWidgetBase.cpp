#include "MainWidgetBase.h"

namespace kivra::helper {

void MainWidgetBase::init(FormFlags formFlags, const INFO &windowRecord,
                          QMap<QString, QVariant> *values, QWidget *window)
{
    m_formFlags = formFlags;
    m_windowRecord = windowRecord;
    m_values = values;
    m_window = window;
}

} // namespace kivra::helper
