#include "RunKey.h"

#include <engine/WeakKey.h>

#include <QUuid>

RunKey RunKey::choose(const QByteArray &stored)
{
    if (isUsable(stored))
        return {stored, false};
    return {generate(), true};
}

bool RunKey::isUsable(const QByteArray &key)
{
    return (key.size() == 16 || key.size() == 32) && !isWeakKey(key);
}

QByteArray RunKey::generate()
{
    QByteArray key;
    // A random key can fail the entropy test by chance; a weak new key would be used for good.
    do {
        key = QByteArray::fromHex(QUuid::createUuid().toString(QUuid::Id128).toLatin1());
    } while (isWeakKey(key));
    return key;
}
