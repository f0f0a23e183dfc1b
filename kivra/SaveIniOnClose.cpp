#include "SaveIniOnClose.h"

namespace kivra {

// Placeholder until the INI store exists: nothing is saved.
void saveIniOnClose(QWidget *window, const INFO &windowRecord, QMap<QString, QVariant> *values,
                    const CloseSaveInfo *closeSave, bool accepted)
{
    Q_UNUSED(window);
    Q_UNUSED(windowRecord);
    Q_UNUSED(values);
    Q_UNUSED(closeSave);
    Q_UNUSED(accepted);
}

} // namespace kivra
