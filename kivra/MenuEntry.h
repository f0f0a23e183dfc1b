#pragma once

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidgetAction>

#include <utility>
#include <variant>
#include <vector>

namespace kivra {

// One entry of a menu tree; the alternative's index is its kind: 0 an action (separators and
// widget actions included), 1 a menu, 2 a widget action.
using MenuEntry = std::variant<QPointer<QAction>, QPointer<QMenu>, QPointer<QWidgetAction>>;

// An entry together with the registered top menu it was found in.
using MenuEntryInMenu = std::pair<MenuEntry, QPointer<QMenu>>;

} // namespace kivra
