#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// Files for tests of the INI store. QSettings keeps what it wrote in a process-wide cache,
// so a file is read back through a fresh copy: that makes QSettings parse the bytes on disk,
// as the next start of the program would.
struct IniTestFiles
{
    QTemporaryDir dir;
    int copies = 0;

    QString path(const QString &name) const { return dir.filePath(name); }

    static QByteArray bytes(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    static bool write(const QString &file, const QByteArray &content)
    {
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write(content) == content.size();
    }

    // Readable and writable by its owner, by nobody else.
    static bool isOwnerOnly(const QString &file)
    {
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
            QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
            QFileDevice::ExeOther;
        const QFileDevice::Permissions permissions = QFileInfo(file).permissions();
        return !(permissions & others) && permissions.testFlag(QFileDevice::ReadOwner) &&
            permissions.testFlag(QFileDevice::WriteOwner);
    }

    // A copy of file under a name QSettings has not seen yet.
    QString freshCopy(const QString &file)
    {
        const QString copy = path(QStringLiteral("copy%1.ini").arg(++copies));
        QFile::copy(file, copy);
        return copy;
    }

    // The value of key (a key path such as "main/vmap") as parsed from the bytes of file.
    QVariant storedValue(const QString &file, const QString &key)
    {
        return QSettings(freshCopy(file), QSettings::IniFormat).value(key);
    }
};
