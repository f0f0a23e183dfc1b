#include "SameFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

// As many links as a save file follows before it writes, so that a check sees where it lands.
constexpr int maxLinkHops = 128;

// The last link of a chain of symbolic links, or the name itself when it is none: where a
// file of that name is, or would be written, even when it is not made yet.
QFileInfo chainEnd(const QString &name)
{
    QFileInfo info(QFileInfo(name).absoluteFilePath());
    for (int hop = 0; hop < maxLinkHops && info.isSymLink(); ++hop)
        info.setFile(info.symLinkTarget());
    return info;
}

// The chain's end with its directory in canonical form.
QString resolvedPath(const QString &name)
{
    const QFileInfo info = chainEnd(name);
    const QString directory = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (directory.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return QDir::cleanPath(directory + QLatin1Char('/') + info.fileName());
}

#ifdef Q_OS_UNIX
bool statFile(const QString &name, struct stat &info)
{
    return ::stat(QFile::encodeName(name).constData(), &info) == 0;
}

// Whether both are one file by device and inode; nothing when either cannot be looked up.
std::optional<bool> sameInode(const QString &first, const QString &second)
{
    struct stat infoA
    {
    };
    struct stat infoB
    {
    };
    if (!statFile(first, infoA) || !statFile(second, infoB))
        return std::nullopt;
    return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}
#endif

// By identity where both exist: a folder mounted at a second place is the same folder.
bool isSameFolder(const QString &first, const QString &second)
{
#ifdef Q_OS_UNIX
    if (const std::optional<bool> same = sameInode(first, second))
        return *same;
#endif
    const auto canonical = [](const QString &folder) {
        const QString path = QFileInfo(folder).canonicalFilePath();
        return path.isEmpty() ? QDir::cleanPath(folder) : path;
    };
    return canonical(first).compare(canonical(second), pathCase) == 0;
}

} // namespace

bool isSameFile(const QString &first, const QString &second)
{
    const QString a = first.trimmed();
    const QString b = second.trimmed();
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    if (const std::optional<bool> same = sameInode(a, b))
        return *same;
#else
    const QFileInfo infoA(a);
    const QFileInfo infoB(b);
    if (infoA.exists() && infoB.exists())
        return infoA.canonicalFilePath().compare(infoB.canonicalFilePath(), pathCase) == 0;
#endif
    return resolvedPath(a).compare(resolvedPath(b), pathCase) == 0;
}

bool wouldReplace(const QString &written, const QString &kept)
{
    if (isSameFile(written, kept))
        return true;
    const QString a = written.trimmed();
    const QString b = kept.trimmed();
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo endA = chainEnd(a);
    const QFileInfo endB = chainEnd(b);
    return endA.fileName().compare(endB.fileName(), Qt::CaseInsensitive) == 0 &&
        isSameFolder(endA.absolutePath(), endB.absolutePath());
}

int nameLookupError(const QString &name)
{
#ifdef Q_OS_UNIX
    struct stat info
    {
    };
    if (statFile(name.trimmed(), info))
        return 0;
    const int number = errno;
    // Nothing there, or a name that cannot exist: the write itself will say why it fails.
    return number == ENOENT || number == ENOTDIR ? 0 : number;
#else
    Q_UNUSED(name);
    return 0;
#endif
}
