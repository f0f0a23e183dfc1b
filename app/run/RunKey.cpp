#include "RunKey.h"

#include <engine/WeakKey.h>

#include <QUuid>

RunKey RunKey::choose(const QByteArray &stored)
{
    if ((stored.size() == 16 || stored.size() == 32) && !isWeakKey(stored))
        return {stored, false};
    return {generate(), true};
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
