#pragma once

#include <kivra/Records.h>

#include <QAction>
#include <QPointer>

#include <vector>

class QMenu;

namespace kivra {

// Refills a menu with one checkable action per list item (text, user data as the action's
// data, item roles for text, icon, tips, font, checked state and data). Without multiple
// selection only the first checked item stays checked (in the list itself) and the actions
// form one exclusive group. With sort the actions appear sorted by text; the list keeps its
// order. The new actions are appended to created when given.
void fillMenuFromListData(T_LISTDATA &list, QMenu *menu, bool multipleSelection, bool sort,
                          std::vector<QPointer<QAction>> *created);

} // namespace kivra
