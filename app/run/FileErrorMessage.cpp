#include "FileErrorMessage.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

QString nativeFolder(const QFileInfo &info)
{
    return QDir::toNativeSeparators(info.absolutePath());
}

} // namespace

QString FileErrorMessage::reason(const QString &path, Access access, QFileDevice::FileError error,
                                 int systemError)
{
    const QFileInfo info(path);
    const bool writing = access == Access::Write;
    switch (systemError) {
    case ENOENT:
        if (writing && !QFileInfo(info.absolutePath()).isDir())
            return tr("Der Ordner „%1“ existiert nicht.").arg(nativeFolder(info));
        return tr("Die Datei existiert nicht.");
    case ENOTDIR:
        return tr("Ein Teil des Pfads ist kein Ordner.");
    case EACCES:
    case EPERM:
        return tr("Keine Berechtigung für die Datei oder ihren Ordner.");
    case EROFS:
        return tr("Der Datenträger ist schreibgeschützt.");
    case ENOSPC:
    case EDQUOT:
        return tr("Auf dem Datenträger ist nicht genug Platz.");
    case EFBIG:
        return tr("Die Datei überschreitet die erlaubte Dateigröße.");
    case EISDIR:
        return tr("Der Name bezeichnet einen Ordner.");
    case EMFILE:
    case ENFILE:
        return tr("Es sind zu viele Dateien geöffnet.");
    case ENAMETOOLONG:
        return tr("Der Dateiname ist zu lang.");
    case ELOOP:
        return tr("Der Name führt über zu viele symbolische Verknüpfungen.");
    case EIO:
        return tr("Der Datenträger meldet einen Ein-/Ausgabefehler.");
    default:
        break;
    }

    if (info.isDir())
        return tr("Der Name bezeichnet einen Ordner.");
    if (info.exists() && !info.isFile())
        return tr("Der Name bezeichnet keine gewöhnliche Datei.");
    if (writing) {
        const QFileInfo folder(info.absolutePath());
        if (folder.exists() && !folder.isDir())
            return tr("Ein Teil des Pfads ist kein Ordner.");
        if (!folder.isDir())
            return tr("Der Ordner „%1“ existiert nicht.").arg(nativeFolder(info));
        if (info.exists() && !info.isWritable())
            return tr("Die Datei ist schreibgeschützt.");
        if (!folder.isWritable())
            return tr("Keine Berechtigung, im Ordner „%1“ zu schreiben.").arg(nativeFolder(info));
    } else {
        if (!info.exists())
            return tr("Die Datei existiert nicht.");
        if (!info.isReadable())
            return tr("Keine Berechtigung, die Datei zu lesen.");
    }

    switch (error) {
    case QFileDevice::ReadError:
        return tr("Beim Lesen ist ein Fehler aufgetreten.");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return tr("Beim Schreiben ist ein Fehler aufgetreten, etwa weil der Datenträger voll ist.");
    case QFileDevice::RenameError:
    case QFileDevice::CopyError:
        return tr("Die fertige Datei konnte nicht an ihren Platz gebracht werden.");
    case QFileDevice::PermissionsError:
        return tr("Keine Berechtigung für die Datei oder ihren Ordner.");
    default:
        break;
    }
    return writing ? tr("Die Datei konnte nicht geschrieben werden.")
                   : tr("Die Datei konnte nicht gelesen werden.");
}

QString FileErrorMessage::describe(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + QStringLiteral("\r\n") + reason;
}

QString FileErrorMessage::text(const QString &firstLine, const QString &path, const QString &reason)
{
    return firstLine + QStringLiteral("\r\n") + describe(path, reason);
}
