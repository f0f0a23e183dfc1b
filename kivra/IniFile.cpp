#include "IniStore_p.h"

#include "KivraLog_p.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>

namespace kivra {

namespace {

// File names only: a full path may name the user.
QString shownName(const QString &path)
{
    return QFileInfo(path).fileName();
}

void restrictToOwner(const QString &path)
{
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        qCWarning(lcKivra) << "Could not restrict the permissions of" << shownName(path);
}

QByteArray contentOf(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

// Copies file to "<file>.bak", or to "<file>.1.bak", "<file>.2.bak", ... when older copies
// exist, so no earlier copy is ever replaced. A copy with the same content counts as made,
// so a file that stays damaged is not copied again on every save.
bool keepCopy(const QString &file, QString *backup)
{
    bool readable = false;
    const QByteArray content = contentOf(file, &readable);
    if (!readable)
        return false;
    for (int number = 0;; ++number) {
        *backup = number == 0 ? file + QStringLiteral(".bak")
                              : QStringLiteral("%1.%2.bak").arg(file).arg(number);
        if (!QFileInfo::exists(*backup))
            return QFile::copy(file, *backup);
        bool same = false;
        if (contentOf(*backup, &same) == content && same)
            return true;
    }
}

bool keepBackupIfDamaged(const QString &file, const QString &replacedMapKey)
{
    if (!rewriteWouldLoseData(file, replacedMapKey))
        return true;
    QString backup;
    if (!keepCopy(file, &backup)) {
        qCWarning(lcKivra) << "Not written:" << shownName(file)
                           << "is unreadable or damaged and could not be copied";
        return false;
    }
    restrictToOwner(backup);
    qCWarning(lcKivra) << shownName(file) << "was unreadable or damaged; its content is kept in"
                       << shownName(backup);
    return true;
}

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

template<class Container>
bool allStorable(const Container &values)
{
    return std::all_of(values.cbegin(), values.cend(), isStorableValue);
}

} // namespace

bool writeIniFile(const QString &file, const std::function<void(QSettings &)> &write,
                  const QString &replacedMapKey)
{
    if (file.isEmpty() || !keepBackupIfDamaged(file, replacedMapKey))
        return false;
    bool written = false;
    {
        QSettings settings(file, QSettings::IniFormat);
        // Never fall back to writing the file in place: a failure would leave it half-written.
        settings.setAtomicSyncRequired(true);
        write(settings);
        settings.sync();
        written = settings.status() == QSettings::NoError;
    }
    if (QFileInfo::exists(file))
        restrictToOwner(file);
    if (!written)
        qCWarning(lcKivra) << "Could not write" << shownName(file);
    return written;
}

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

bool isStorableValue(const QVariant &value)
{
    if (!value.isValid())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::QVariantList:
        return allStorable(value.toList());
    case QMetaType::QVariantMap:
        return allStorable(value.toMap());
    case QMetaType::QVariantHash:
        return allStorable(value.toHash());
    default:
        break;
    }
    // A variant nested in a variant is written as its content.
    if (value.metaType() == QMetaType::fromType<QVariant>())
        return isStorableValue(*static_cast<const QVariant *>(value.constData()));
    return value.metaType().hasRegisteredDataStreamOperators();
}

} // namespace kivra
