#include "ReservedKeys.h"

namespace kivra {

QString autoVarKey(const QString &name)
{
    return kAutoVarPrefix + name.trimmed();
}

QString widgetDataKey(const QString &name)
{
    return kWidgetDataPrefix + name.trimmed();
}

QString objectDataKey(const QString &name)
{
    return kObjectDataPrefix + name.trimmed();
}

QString nextAutoVarKey()
{
    static int counter = 0;
    return autoVarKey(QString::number(++counter));
}

bool isReservedKey(const QString &key)
{
    return key.startsWith(kAutoVarPrefix) || key.startsWith(kWidgetDataPrefix) ||
        key.startsWith(kObjectDataPrefix);
}

void stripReservedKeys(QVariantMap *vars)
{
    if (!vars)
        return;
    for (auto it = vars->begin(); it != vars->end();) {
        if (isReservedKey(it.key()))
            it = vars->erase(it);
        else
            ++it;
    }
}

} // namespace kivra
