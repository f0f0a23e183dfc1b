#include "OptionKeys.h"

namespace kivra {

QString perTypeKey(const QString &key, qint64 number)
{
    return QStringLiteral("%1%2").arg(key).arg(number);
}

} // namespace kivra
