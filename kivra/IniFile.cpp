#include "IniStore_p.h"

#include "IniValueTexts_p.h"
#include "IniVariantCheck_p.h"
#include "KivraLog_p.h"

#include <kivra/Records.h>

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

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

// Copies file to "<file>.bak", or to "<file>.1.bak", "<file>.2.bak", ... when older copies
// exist, so no earlier copy is ever replaced. A copy with the same content counts as made,
// so a file that stays damaged is not copied again on every save.
bool keepCopy(const QString &file, QString *backup)
{
    QByteArray content;
    if (!readWholeFile(file, &content))
        return false;
    for (int number = 0;; ++number) {
        *backup = number == 0 ? file + QStringLiteral(".bak")
                              : QStringLiteral("%1.%2.bak").arg(file).arg(number);
        if (!QFileInfo::exists(*backup))
            return QFile::copy(file, *backup);
        QByteArray earlier;
        if (readWholeFile(*backup, &earlier) && earlier == content)
            return true;
    }
}

// False when the file is damaged and could not be copied, or when the check could not be made.
bool keepBackupIfDamaged(const QString &file, const QString &replacedMapKey)
{
    bool checked = false;
    const bool damaged = rewriteWouldLoseData(file, replacedMapKey, &checked);
    if (!checked) {
        qCWarning(lcKivra) << "Could not write" << shownName(file);
        return false;
    }
    if (!damaged)
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

// How long a save waits for another writer's lock on the file. A lock that stays (a crashed
// program, or a directory where the lock file belongs) must not hang the program.
constexpr int kLockWaitMs = 3000;

// Puts bytes in place of the file's content, all or nothing: a save file that is committed
// only when every byte was written. A short count without an error is how a full disk or a
// file-size limit shows itself, and the save file would still commit it.
bool replaceContent(const QString &path, const QByteArray &bytes)
{
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// A scratch file beside the file holding bytes, every byte written; the values (the key among
// them) never leave the settings directory.
bool writeScratch(QTemporaryFile &scratch, const QByteArray &bytes)
{
    if (!scratch.open())
        return false;
    const bool written = scratch.write(bytes) == bytes.size() && scratch.flush();
    scratch.close();
    return written;
}

// The text in which an INI line gives a value back: numbers, flags and lists of them return
// as text, so only their text can be compared.
QString textForm(const QVariant &value)
{
    return isList(value) ? value.toStringList().join(QChar(0x1f)) : value.toString();
}

bool isTextForm(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::QStringList:
    case QMetaType::QVariantList:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
    case QMetaType::QKeySequence:
        return true;
    default:
        return !value.isValid();
    }
}

bool isNotANumber(const QVariant &value)
{
    const int type = value.metaType().id();
    return (type == QMetaType::Double || type == QMetaType::Float) && std::isnan(value.toDouble());
}

bool sameStoredValue(const QVariant &meant, const QVariant &found)
{
    // A value that is no number equals nothing, not even itself, yet reads back as it was.
    if (meant == found || (isNotANumber(meant) && isNotANumber(found)))
        return true;
    if (meant.metaType().id() == QMetaType::QVariantMap &&
        found.metaType().id() == QMetaType::QVariantMap) {
        const QVariantMap meantItems = meant.toMap();
        const QVariantMap foundItems = found.toMap();
        return meantItems.keys() == foundItems.keys() &&
            std::equal(meantItems.cbegin(), meantItems.cend(), foundItems.cbegin(),
                       sameStoredValue);
    }
    if (isList(meant) && isList(found)) {
        const QVariantList meantItems = meant.toList();
        const QVariantList foundItems = found.toList();
        return meantItems.size() == foundItems.size() &&
            std::equal(meantItems.cbegin(), meantItems.cend(), foundItems.cbegin(),
                       sameStoredValue);
    }
    const bool foundAsText = !found.isValid() || found.metaType().id() == QMetaType::QString;
    return foundAsText && isTextForm(meant) && textForm(meant) == textForm(found);
}

// Whether a reader that parses bytes anew finds every key of intended with its value. QSettings
// does not notice when a full disk or a file-size limit cuts its output short; this does. The
// bytes are parsed from a second scratch file, since QSettings answers a path it has seen from
// its cache instead of reading it.
bool readsBackAs(const QByteArray &bytes, const QSettings &intended, const QString &file)
{
    if (!isSafeToParse(bytes))
        return false;
    QTemporaryFile copy(file + QStringLiteral(".XXXXXX"));
    if (!writeScratch(copy, bytes))
        return false;
    const QSettings found(copy.fileName(), QSettings::IniFormat);
    if (found.status() != QSettings::NoError)
        return false;
    const QStringList keys = intended.allKeys();
    if (found.allKeys() != keys)
        return false;
    return std::all_of(keys.cbegin(), keys.cend(), [&](const QString &key) {
        return sameStoredValue(intended.value(key), found.value(key));
    });
}

// The bytes the file holds after write: QSettings makes the changes on a scratch copy of the
// file, and its output is accepted only when it reads back whole.
bool changedContent(const QString &file, const QByteArray &old,
                    const std::function<void(QSettings &)> &write, QByteArray *bytes)
{
    QTemporaryFile scratch(file + QStringLiteral(".XXXXXX"));
    if (!writeScratch(scratch, old))
        return false;
    QSettings settings(scratch.fileName(), QSettings::IniFormat);
    settings.setAtomicSyncRequired(true);
    write(settings);
    settings.sync();
    // A format error only says that the old content was damaged; its copy is kept already.
    return settings.status() != QSettings::AccessError &&
        readWholeFile(scratch.fileName(), bytes) && readsBackAs(*bytes, settings, file);
}

} // namespace

bool writeIniFile(const QString &file, const std::function<void(QSettings &)> &write,
                  const QString &replacedMapKey)
{
    if (file.isEmpty())
        return false;
    // The lock QSettings takes for its own writes, so that other programs' saves do not mix
    // with this one.
    QLockFile lock(file + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        if (lock.error() == QLockFile::LockFailedError)
            qCWarning(lcKivra) << "Not written:" << shownName(file) << "stays locked";
        else
            qCWarning(lcKivra) << "Could not write" << shownName(file);
        return false;
    }
    if (!keepBackupIfDamaged(file, replacedMapKey))
        return false;
    const bool existed = QFileInfo::exists(file);
    QByteArray old;
    QByteArray meant;
    if (existed && !readWholeFile(file, &old)) {
        qCWarning(lcKivra) << "Could not write" << shownName(file);
        return false;
    }
    // Content that QSettings must not parse is kept in its copy only; the changes start afresh.
    const QByteArray start = isSafeToParse(old) ? old : QByteArray();
    if (!changedContent(file, start, write, &meant) || !replaceContent(file, meant)) {
        qCWarning(lcKivra) << "Could not write" << shownName(file);
        return false;
    }
    restrictToOwner(file);
    // The file must now hold what was meant; anything else gives the old content back.
    QByteArray found;
    if (!readWholeFile(file, &found) || found != meant) {
        const bool restored = existed ? replaceContent(file, old) : QFile::remove(file);
        qCWarning(lcKivra) << "Could not write" << shownName(file)
                           << (restored ? "; the old content is back" : "; it may be damaged");
        return false;
    }
    return true;
}

bool rewriteWouldLoseData(const QString &file, const QString &replacedMapKey, bool *checked)
{
    *checked = true;
    if (!QFileInfo::exists(file))
        return false;
    QByteArray original;
    if (!readWholeFile(file, &original))
        return true;
    if (original.isEmpty())
        return false;
    if (!isSafeToParse(original))
        return true;
    // Parsed from a copy: QSettings may answer the file's own path from a cache of what it
    // read before, while the bytes on disk are what counts.
    QTemporaryFile parsed(file + QStringLiteral(".XXXXXX"));
    if (!writeScratch(parsed, original)) {
        *checked = false;
        return false;
    }
    const QSettings settings(parsed.fileName(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return true;
    if (!replacedMapKey.isEmpty() && settings.contains(replacedMapKey) &&
        settings.value(replacedMapKey).metaType() != QMetaType::fromType<QVariantMap>())
        return true;
    // What QSettings writes for everything it parsed.
    const auto copyAll = [&settings](QSettings &copy) {
        const QStringList keys = settings.allKeys();
        for (const QString &key : keys)
            copy.setValue(key, settings.value(key));
    };
    QByteArray rewritten;
    *checked = changedContent(file, {}, copyAll, &rewritten);
    return *checked && rewritten != original;
}

bool isSafeToParse(QByteArrayView content)
{
    return visitIniValueTexts(content, isBoundedValueText);
}

bool readWholeFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace kivra
