#include "MapValue_p.h"

#include <kivra/ListData.h>

namespace kivra {

QVariant storedMapValue(QMap<QString, QVariant> *vars, const QString &name)
{
    if (!vars || name.isEmpty())
        return {};
    const VariantBinding stored(vars, name);
    return stored.isBound() ? *stored.data() : QVariant();
}

bool storeMapValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value,
                   MissingEntry missing)
{
    if (!vars || name.isEmpty())
        return false;
    {
        VariantBinding stored(vars, name, true);
        if (stored.isBound()) {
            *stored.data() = value;
            return true;
        }
    }
    if (missing == MissingEntry::Skip)
        return false;
    vars->insert(name, value);
    return true;
}

} // namespace kivra
