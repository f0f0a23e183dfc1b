#pragma once

#include <kivra/Records.h>

#include <QAction>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidgetAction>

#include <utility>
#include <variant>
#include <vector>

class QObject;
class QStatusBar;

// A form's menus and status bars: kept in its value map as framework entries, so that values
// reach menu actions and status tips reach the status bars; walking a menu tree; filling a
// button's drop-down menu from list data.
namespace kivra {

// One entry of a menu tree; the alternative's index is its kind: 0 an action (separators and
// widget actions included), 1 a menu, 2 a widget action.
using MenuEntry = std::variant<QPointer<QAction>, QPointer<QMenu>, QPointer<QWidgetAction>>;

// An entry together with the registered top menu it was found in.
using MenuEntryInMenu = std::pair<MenuEntry, QPointer<QMenu>>;

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

// Walks a menu depth first, the menu itself first at depth 0: every action is an entry,
// a submenu also as a menu entry (then its own entries), a widget action also as a widget
// action entry. Without out the tree is listed to the debug log instead. A menu reached
// again (a menu inside itself) is not walked twice.
void walkMenuTree(QMenu *menu, int depth, std::vector<MenuEntry> *out);

// The entries of every registered menu of the form, appended to out; with withTopMenu each
// entry is also appended there together with its top menu.
void collectMenuEntries(std::vector<MenuEntry> *out, QMap<QString, QVariant> *vars,
                        std::vector<MenuEntryInMenu> *withTopMenu);

// One line of a menu listing: "[depth] --text (kind)", one "-" per level.
QString menuEntryText(int depth, const QString &kind, const QString &text);

// Refills a menu with one checkable action per list item (text, user data as the action's
// data, item roles for text, icon, tips, font, checked state and data). Without multiple
// selection only the first checked item stays checked (in the list itself) and the actions
// form one exclusive group. With sort the actions appear sorted by text; the list keeps its
// order. The new actions are appended to created when given.
void fillMenuFromListData(T_LISTDATA &list, QMenu *menu, bool multipleSelection, bool sort,
                          std::vector<QPointer<QAction>> *created);

} // namespace kivra
