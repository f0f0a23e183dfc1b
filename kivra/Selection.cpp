#include "Selection.h"

#include <kivra/FieldFlags.h>
#include <kivra/ListData.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <optional>

namespace kivra {

namespace {

bool matchesAny(const QVariant &itemData, const QVariantList &selection)
{
    for (const QVariant &value : selection)
        if (selectionMatches(itemData, value))
            return true;
    return false;
}

// Which of the items the selection names.
QList<bool> itemsNamed(const QVariantList &itemData, const QVariantList &selection)
{
    QList<bool> named;
    named.reserve(itemData.size());
    for (const QVariant &data : itemData)
        named.append(matchesAny(data, selection));
    return named;
}

// As itemsNamed; a single selection takes its first value only. A single selection that names
// none of the items gives nothing, so the caller leaves its items alone.
std::optional<QList<bool>> namedItems(const QVariantList &itemData, const QVariantList &selection,
                                      bool single)
{
    const QList<bool> named = itemsNamed(itemData, single ? selection.mid(0, 1) : selection);
    if (single && !named.contains(true))
        return std::nullopt;
    return named;
}

QVariantList userData(const T_LISTDATA &list)
{
    QVariantList result;
    result.reserve(qsizetype(list.size()));
    for (const auto &[text, selected, data, roles] : list)
        result.append(data);
    return result;
}

void markItems(T_LISTDATA &list, const QList<bool> &marks)
{
    for (size_t i = 0; i < list.size(); ++i)
        std::get<1>(list[i]) = marks.at(qsizetype(i));
}

std::optional<QSignalBlocker> blockUnless(bool keepSignals, QObject *object)
{
    if (keepSignals)
        return std::nullopt;
    return std::make_optional<QSignalBlocker>(object);
}

bool applyToCombo(QComboBox *combo, const QVariantList &selection, bool keepSignals)
{
    QVariantList itemData;
    for (int i = 0; i < combo->count(); ++i)
        itemData.append(combo->itemData(i, Qt::UserRole));
    const auto wanted = namedItems(itemData, selection, true);
    if (!wanted)
        return false;
    const auto blocker = blockUnless(keepSignals, combo);
    combo->setCurrentIndex(int(wanted->indexOf(true)));
    return true;
}

bool applyToList(QListWidget *list, const QVariantList &selection, bool keepSignals)
{
    QVariantList itemData;
    for (int i = 0; i < list->count(); ++i)
        itemData.append(list->item(i)->data(Qt::UserRole));
    const auto wanted = namedItems(itemData, selection, !widgetHasFlags(list, kMultiSelect));
    if (!wanted)
        return false;
    const bool checkList = widgetHasFlags(list, kCheckList);
    const auto blocker = blockUnless(keepSignals, list);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        const bool on = wanted->at(i);
        if (checkList && (item->checkState() == Qt::Checked) != on)
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        else if (!checkList && item->isSelected() != on)
            item->setSelected(on);
    }
    return true;
}

bool applyToMenu(QPushButton *button, const QVariantList &selection, bool keepSignals,
                 std::vector<QPointer<QObject>> *changedActions)
{
    const QMenu *menu = button->menu();
    if (!menu || menu->actions().isEmpty())
        return false;
    const QList<QAction *> actions = menu->actions();
    QVariantList itemData;
    for (const QAction *action : actions)
        itemData.append(action->data());
    const auto wanted = namedItems(itemData, selection, !widgetHasFlags(button, kMultiSelect));
    if (!wanted)
        return false;
    for (int i = 0; i < actions.size(); ++i) {
        QAction *action = actions.at(i);
        const bool wasChecked = action->isChecked();
        const auto blocker = blockUnless(keepSignals, action);
        action->setChecked(wanted->at(i));
        if (changedActions && action->isChecked() != wasChecked)
            changedActions->push_back(action);
    }
    return true;
}

} // namespace

bool selectionMatches(const QVariant &itemData, const QVariant &value)
{
    if (itemData == value)
        return true;
    if (itemData.metaType() == value.metaType())
        return false;
    if (!itemData.isValid() || !value.isValid() || isList(itemData) || isList(value))
        return false;
    if (!itemData.canConvert<QString>() || !value.canConvert<QString>())
        return false;
    return itemData.toString() == value.toString();
}

bool valuesToSelect(QMap<QString, QVariant> *values, const QString &name, const QVariant &value,
                    bool all, QVariantList *out)
{
    QVariantList selection;
    if (isAnyListData(value)) {
        const ListDataBinding given(value);
        if (given.isBound())
            selection = selectedValues(*given.data());
    } else {
        bool itemsCarryLists = false;
        const ListDataBinding stored(values, name);
        if (stored.isBound())
            for (const auto &[text, selected, data, roles] : *stored.data())
                itemsCarryLists = itemsCarryLists || isList(data);
        selection = !itemsCarryLists && isList(value) ? value.toList() : QVariantList {value};
    }
    if (selection.isEmpty())
        return false;
    if (!all && selection.size() > 1)
        selection = selection.mid(0, 1);
    if (out)
        *out = selection;
    return true;
}

bool selectListDataItems(QMap<QString, QVariant> *values, const QString &name,
                         const QVariant &value, bool all)
{
    QVariantList selection;
    if (!valuesToSelect(values, name, value, all, &selection))
        return false;
    if (!values || !isAnyListData(values->value(name)))
        return false;
    ListDataBinding binding(values, name, true);
    if (!binding.isBound())
        return false;
    const auto named = namedItems(userData(*binding.data()), selection, !all);
    if (!named)
        return false;
    markItems(*binding.data(), *named);
    return true;
}

bool applySelectionValue(QMap<QString, QVariant> *values, const QString &name,
                         const QVariant &value, bool keepSignals,
                         std::vector<QPointer<QObject>> *changedActions)
{
    QVariantList selection;
    if (!valuesToSelect(values, name, value, true, &selection))
        return false;
    if (auto *combo = findWidget<QComboBox>(values, name, kComboBox))
        return applyToCombo(combo, selection, keepSignals);
    if (auto *list = findWidget<QListWidget>(values, name, kListWidget))
        return applyToList(list, selection, keepSignals);
    if (auto *button = findWidget<QPushButton>(values, name, kMenuButton))
        return applyToMenu(button, selection, keepSignals, changedActions);
    return false;
}

bool applySelectionToListData(const QVariant &restored, QVariant *listData, bool single)
{
    if (!listData || !isAnyListData(*listData))
        return false;
    ListDataBinding binding(*listData);
    if (!binding.isBound())
        return false;
    // valuesToSelect looks at the field's items through a value map: lend it one.
    QMap<QString, QVariant> field {{QString(), *listData}};
    QVariantList selection;
    valuesToSelect(&field, QString(), restored, true, &selection);
    QList<bool> named = itemsNamed(userData(*binding.data()), selection);
    // A stored single selection is the user data of one item: the first item in list order
    // that it names wins. One that names no item (the list's items changed since) leaves the
    // list's own selection in place, so a combo box does not start blank.
    if (single) {
        const qsizetype first = named.indexOf(true);
        if (first < 0)
            return false;
        named.fill(false);
        named[first] = true;
    }
    markItems(*binding.data(), named);
    if (!binding.isByPointer())
        *listData = binding.toVariant();
    return true;
}

bool setListDataByName(const QVariant &listData, QMap<QString, QVariant> *values,
                       const QString &name, int comboSignalMode, bool checkable,
                       bool multipleSelection, bool sort, bool adjustWidth)
{
    // A pointer to the caller's list is filled from and edited in place.
    ListDataBinding list(listData);
    if (!list.isBound())
        return false;
    auto *combo = findWidget<QComboBox>(values, name, kComboBox);
    auto *listWidget = findWidget<QListWidget>(values, name, kListWidget);
    fillComboBox(*list.data(), combo, comboSignalMode, adjustWidth, sort);
    fillListWidget(*list.data(), listWidget, adjustWidth, checkable, multipleSelection, sort);
    if (values)
        values->insert(name, list.toVariant());
    return combo || listWidget;
}

} // namespace kivra
