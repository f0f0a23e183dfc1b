#include "SameFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

// Where a file of that name is, or would be written: symbolic links followed to their end, even
// to a file not made yet, and the directory in its canonical form.
QString resolvedPath(const QString &name)
{
    QFileInfo info(QFileInfo(name).absoluteFilePath());
    for (int hop = 0; hop < 32 && info.isSymLink(); ++hop)
        info.setFile(info.symLinkTarget());
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
#endif

} // namespace

bool isSameFile(const QString &first, const QString &second)
{
    const QString a = first.trimmed();
    const QString b = second.trimmed();
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    struct stat infoA
    {
    };
    struct stat infoB
    {
    };
    if (statFile(a, infoA) && statFile(b, infoB))
        return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
#else
    const QFileInfo infoA(a);
    const QFileInfo infoB(b);
    if (infoA.exists() && infoB.exists())
        return infoA.canonicalFilePath().compare(infoB.canonicalFilePath(), pathCase) == 0;
#endif
    return resolvedPath(a).compare(resolvedPath(b), pathCase) == 0;
}
