#include "TimestampedFileName.h"

#include <QDir>

QString timestampedFileName(const QString &base, const QString &extension, const QString &directory,
                            const QDateTime &at)
{
    const QString name = QStringLiteral("%1_%2.%3")
                             .arg(base, at.toString(QStringLiteral("yyyyMMdd_HHmmss")), extension);
    return directory.isEmpty() ? name : QDir(directory).filePath(name);
}
