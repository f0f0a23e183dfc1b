#include "FillMenuFromListData.h"

#include "ListData_p.h"
#include <kivra/ListData.h>

#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSignalBlocker>

#include <algorithm>

namespace kivra {

namespace {

using ItemRoles = std::vector<std::pair<Qt::ItemDataRole, QVariant>>;

void applyRole(QAction *action, Qt::ItemDataRole role, const QVariant &value)
{
    switch (role) {
    case Qt::DisplayRole:
        action->setText(value.toString());
        break;
    case Qt::DecorationRole:
        if (value.metaType() == QMetaType::fromType<QIcon>())
            action->setIcon(value.value<QIcon>());
        else if (value.metaType() == QMetaType::fromType<QPixmap>())
            action->setIcon(QIcon(value.value<QPixmap>()));
        break;
    case Qt::ToolTipRole:
        action->setToolTip(value.toString());
        break;
    case Qt::StatusTipRole:
        action->setStatusTip(value.toString());
        break;
    case Qt::WhatsThisRole:
        action->setWhatsThis(value.toString());
        break;
    case Qt::FontRole:
        action->setFont(value.value<QFont>());
        break;
    case Qt::CheckStateRole:
        action->setChecked(value.toInt() != 0);
        break;
    case Qt::UserRole:
        action->setData(value);
        break;
    default:
        break;
    }
}

// The item's roles without its first decoration pair: an action takes its icon only from a
// second one.
ItemRoles menuRoles(const ItemRoles &roles)
{
    ItemRoles result = roles;
    const auto decoration = std::find_if(result.begin(), result.end(), [](const auto &pair) {
        return pair.first == Qt::DecorationRole;
    });
    if (decoration != result.end())
        result.erase(decoration);
    return result;
}

bool hasToolTip(const ItemRoles &roles)
{
    return std::any_of(roles.begin(), roles.end(),
                       [](const auto &pair) { return pair.first == Qt::ToolTipRole; });
}

} // namespace

void fillMenuFromListData(T_LISTDATA &list, QMenu *menu, bool multipleSelection, bool sort,
                          std::vector<QPointer<QAction>> *created)
{
    if (!menu)
        return;
    const QSignalBlocker blocker(menu);
    const UpdatesOff updatesOff(menu);
    menu->clear();
    // A refill replaces the group of the previous fill.
    qDeleteAll(menu->findChildren<QActionGroup *>(QString(), Qt::FindDirectChildrenOnly));

    if (!multipleSelection)
        keepFirstChecked(list);
    QActionGroup *group = multipleSelection ? nullptr : new QActionGroup(menu);
    bool toolTips = false;
    for (const size_t i : displayOrder(list, sort)) {
        const auto &[text, checked, data, roles] = list[i];
        auto *action = new QAction(text, menu);
        action->setCheckable(true);
        action->setData(data);
        for (const auto &[role, value] : menuRoles(roles))
            applyRole(action, role, value);
        if (checked)
            action->setChecked(true);
        toolTips = toolTips || hasToolTip(roles);
        menu->addAction(action);
        if (group)
            group->addAction(action);
        if (created)
            created->push_back(action);
    }
    if (toolTips)
        menu->setToolTipsVisible(true);
}

} // namespace kivra
