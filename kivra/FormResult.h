#pragma once

#include <QMap>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// What the form builder returns.
struct FormResult
{
    // The exec() result, the main window's exit code, or 1 when the form was only built.
    int exitCode = 1;
    // The root layout when the form was only built, else null.
    QPointer<QObject> rootLayout;
    // The builder's own value map when the caller passed none, else null.
    QSharedPointer<QMap<QString, QVariant>> ownedVars;
    // The run window, released with deleteLater; only with kDeleteLater.
    QSharedPointer<QWidget> window;
};

} // namespace kivra
