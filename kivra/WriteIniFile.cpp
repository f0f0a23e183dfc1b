#include "WriteIniFile.h"

#include "IniRewriteCheck.h"
#include "KivraLog_p.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

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

} // namespace kivra
