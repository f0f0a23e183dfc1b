#pragma once

#include <QCoreApplication>
#include <QFileDevice>
#include <QString>

// Why a file could not be written or read, said in German and with the file's name, in place
// of the system's English texts ("No such file or directory", "Existing file ... is not
// writable"), which also leave out which file was meant.
class FileErrorMessage
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    enum class Access { Read, Write };

    // The reason: from the system's error number when it names a cause (pass 0 when none is
    // known for certain), else from what the path looks like now, else from the error kind.
    static QString reason(const QString &path, Access access,
                          QFileDevice::FileError error = QFileDevice::UnspecifiedError,
                          int systemError = 0);
    // The file and the reason, one line each.
    static QString describe(const QString &path, const QString &reason);
    // The first line, then the file and the reason.
    static QString text(const QString &firstLine, const QString &path, const QString &reason);
};
