#include "IniRewriteCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

namespace kivra {

namespace {

bool readAll(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// What QSettings writes for everything it parsed from source. The scratch file lies beside
// the original, so the values (the key among them) never leave the settings directory.
bool rewrittenBytes(const QSettings &source, const QString &file, QByteArray *bytes)
{
    QTemporaryFile scratch(file + QStringLiteral(".XXXXXX"));
    if (!scratch.open())
        return false;
    scratch.close();
    {
        QSettings copy(scratch.fileName(), QSettings::IniFormat);
        const QStringList keys = source.allKeys();
        for (const QString &key : keys)
            copy.setValue(key, source.value(key));
        copy.sync();
        if (copy.status() != QSettings::NoError)
            return false;
    }
    return readAll(scratch.fileName(), bytes);
}

} // namespace

bool rewriteWouldLoseData(const QString &file, const QString &replacedMapKey)
{
    if (!QFileInfo::exists(file))
        return false;
    QByteArray original;
    if (!readAll(file, &original))
        return true;
    if (original.isEmpty())
        return false;
    const QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return true;
    if (!replacedMapKey.isEmpty() && settings.contains(replacedMapKey) &&
        settings.value(replacedMapKey).metaType() != QMetaType::fromType<QVariantMap>())
        return true;
    QByteArray rewritten;
    return !rewrittenBytes(settings, file, &rewritten) || rewritten != original;
}

} // namespace kivra
