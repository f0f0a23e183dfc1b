#include "WidgetDataHooks.h"

namespace kivra {

// Placeholder until menus are registered with the form: nothing is applied.
bool applyMenuValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value)
{
    Q_UNUSED(vars);
    Q_UNUSED(name);
    Q_UNUSED(value);
    return false;
}

} // namespace kivra
