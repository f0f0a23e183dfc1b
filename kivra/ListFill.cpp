#include "ListFill.h"

#include "ListDataValues.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <numeric>

namespace kivra {

namespace {

// Disables a widget's updates for a scope, restoring the former state.
class UpdatesOff
{
public:
    explicit UpdatesOff(QWidget *widget)
        : m_widget(widget)
        , m_wasEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesOff() { m_widget->setUpdatesEnabled(m_wasEnabled); }

private:
    Q_DISABLE_COPY_MOVE(UpdatesOff)

    QWidget *m_widget;
    bool m_wasEnabled;
};

// The order in which the items appear: list order, or stable by text.
std::vector<size_t> displayOrder(const T_LISTDATA &list, bool sort)
{
    std::vector<size_t> order(list.size());
    std::iota(order.begin(), order.end(), size_t(0));
    if (sort)
        std::stable_sort(order.begin(), order.end(), [&list](size_t a, size_t b) {
            return std::get<0>(list[a]) < std::get<0>(list[b]);
        });
    return order;
}

} // namespace

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
