#pragma once

#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>

class QAction;
class QMenu;
class QObject;
class QStatusBar;
class QWidgetAction;

namespace kivra {

// A form's menus and status bars are kept in its value map as framework entries, so that
// values can reach menu actions and status tips reach the status bars.

QList<QPointer<QObject>> menuObjects(const QMap<QString, QVariant> *vars);
// Adds the menu unless it is registered already; nothing for a null menu or map.
void registerMenu(QObject *menu, QMap<QString, QVariant> *vars);

QList<QPointer<QStatusBar>> statusBars(const QMap<QString, QVariant> *vars);
// Adds the status bar unless it is registered already; nothing for a null bar or map.
void registerStatusBar(QStatusBar *statusBar, QMap<QString, QVariant> *vars);

// The first entry of the registered menus whose "menuid" property equals name exactly; null
// when there is none.
QAction *findMenuActionById(QMap<QString, QVariant> *vars, const QString &name);
QMenu *findMenuById(QMap<QString, QVariant> *vars, const QString &name);
QWidgetAction *findWidgetActionById(QMap<QString, QVariant> *vars, const QString &name);

} // namespace kivra
