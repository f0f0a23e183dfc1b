#pragma once

#include "MenuEntry.h"

#include <QMap>
#include <QString>
#include <QVariant>

#include <vector>

class QMenu;

namespace kivra {

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

} // namespace kivra
