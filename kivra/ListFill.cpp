#include "ListFill.h"

#include "ListDataValues.h"
#include "UpdatesOff.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace kivra {

void fillComboBox(T_LISTDATA &list, QComboBox *combo, int changeMode, bool adjustToContents,
                  bool sort)
{
    if (!combo)
        return;
    int newIndex = -1;
    int oldIndex = -1;
    {
        const QSignalBlocker blocker(combo);
        const UpdatesOff updatesOff(combo);
        oldIndex = combo->currentIndex();
        combo->clear();
        if (adjustToContents)
            combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        keepFirstChecked(list);
        for (const size_t i : displayOrder(list, sort)) {
            const auto &[text, selected, data, roles] = list[i];
            combo->addItem(text, data);
            const int row = combo->count() - 1;
            for (const auto &[role, value] : roles)
                combo->setItemData(row, value, role);
            // The row itself, not a search by user data: user data may repeat or be missing.
            if (selected)
                newIndex = row;
        }
        combo->setCurrentIndex(-1);
        combo->setCurrentIndex(newIndex);
    }
    const bool signal = changeMode == kComboAlwaysSignal ||
        (changeMode == kComboSignalIfMoved && newIndex != oldIndex);
    if (signal)
        emit combo->currentIndexChanged(combo->currentIndex());
}

void fillListWidget(T_LISTDATA &list, QListWidget *listWidget, bool fitWidth, bool checkable,
                    bool multiSelect, bool sort)
{
    if (!listWidget)
        return;
    const bool singleSelection = !checkable && !multiSelect;
    QListWidgetItem *current = nullptr;
    {
        // Blocked from the clear on, so that emptying the list reports no lost selection.
        const QSignalBlocker blocker(listWidget);
        const UpdatesOff updatesOff(listWidget);
        listWidget->clear();
        if (multiSelect && !checkable)
            listWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
        if (singleSelection)
            keepFirstChecked(list);
        for (const auto &[text, selected, data, roles] : list) {
            auto *item = new QListWidgetItem(text, listWidget);
            item->setData(Qt::UserRole, data);
            for (const auto &[role, value] : roles)
                item->setData(role, value);
            if (checkable) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
            } else if (multiSelect) {
                item->setSelected(selected);
            }
            if (selected)
                current = item;
        }
    }
    if (singleSelection && current)
        listWidget->setCurrentItem(current);
    if (sort)
        listWidget->sortItems(Qt::AscendingOrder);
    if (fitWidth)
        listWidget->setMinimumWidth(listWidget->sizeHintForColumn(0));
}

} // namespace kivra
