#pragma once

#include <QDateTime>
#include <QString>

// "<base>_<yyyyMMdd_HHmmss>.<extension>" in directory (the bare name when directory is empty),
// stamped with the local time at.
QString timestampedFileName(const QString &base, const QString &extension, const QString &directory,
                            const QDateTime &at = QDateTime::currentDateTime());
