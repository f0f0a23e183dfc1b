#include "ValidateForm.h"

namespace kivra {

// Placeholder until the field rules exist: every form passes.
bool validateForm(QWidget *window, QMap<QString, QVariant> *values)
{
    Q_UNUSED(window);
    Q_UNUSED(values);
    return true;
}

} // namespace kivra
