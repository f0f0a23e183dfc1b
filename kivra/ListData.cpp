#include "ListData.h"

#include "ListData_p.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <numeric>

namespace kivra {

namespace {

// The pointer of the binding's own kind carried by a variant; null for the other kind.
template<typename T>
T *pointerIn(const QVariant &value);
template<>
T_LISTDATA *pointerIn<T_LISTDATA>(const QVariant &value)
{
    return isListDataPtr(value) ? value.value<T_LISTDATA_PTR>() : nullptr;
}
template<>
QVariant *pointerIn<QVariant>(const QVariant &value)
{
    return isVariantPtr(value) ? value.value<T_VARIANT_PTR>() : nullptr;
}

template<typename T>
T copyOf(const QVariant &value);
template<>
T_LISTDATA copyOf<T_LISTDATA>(const QVariant &value)
{
    return value.value<T_LISTDATA>();
}
template<>
QVariant copyOf<QVariant>(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QVariant>())
        return *static_cast<const QVariant *>(value.constData());
    return value;
}

QVariant valueVariant(const T_LISTDATA &list)
{
    return QVariant::fromValue(list);
}
QVariant valueVariant(const QVariant &value)
{
    return value;
}

} // namespace

template<typename T>
ValueBinding<T>::ValueBinding(const QVariant &value)
{
    load(value);
}

template<typename T>
ValueBinding<T>::ValueBinding(QMap<QString, QVariant> *map, const QString &key)
    : m_readOnly(true)
{
    bind(map, key, false);
}

template<typename T>
ValueBinding<T>::ValueBinding(QMap<QString, QVariant> *map, const QString &key, bool writeBack)
{
    bind(map, key, writeBack);
}

template<typename T>
ValueBinding<T>::~ValueBinding()
{
    if (m_writeBack && isBound())
        store();
}

template<typename T>
QVariant ValueBinding<T>::toVariant() const
{
    if (!m_current)
        return {};
    return m_byPointer ? QVariant::fromValue(m_current) : valueVariant(*m_current);
}

template<typename T>
bool ValueBinding<T>::store()
{
    if (!m_current || !m_map || m_readOnly)
        return false;
    const QVariant value = toVariant();
    if (!m_byPointer || m_map->value(m_key) != value)
        m_map->insert(m_key, value);
    return true;
}

template<typename T>
void ValueBinding<T>::bind(QMap<QString, QVariant> *map, const QString &key, bool writeBack)
{
    if (!map)
        return;
    const auto it = map->constFind(key);
    if (it == map->cend())
        return;
    load(*it);
    // An entry in pointer form already is the caller's object: nothing to write back.
    if (!m_current || m_byPointer)
        return;
    m_map = map;
    m_key = key;
    m_writeBack = writeBack;
}

template<typename T>
void ValueBinding<T>::load(const QVariant &value)
{
    m_typeId = value.metaType().id();
    if (isListDataPtr(value) || isVariantPtr(value)) {
        m_current = pointerIn<T>(value);
        m_byPointer = m_current != nullptr;
        return;
    }
    m_local = copyOf<T>(value);
    m_current = &m_local;
}

template class ValueBinding<T_LISTDATA>;
template class ValueBinding<QVariant>;

bool storeListData(ListDataBinding &binding)
{
    return binding.store();
}

bool storeVariant(VariantBinding &binding)
{
    return binding.store();
}

QVariantList selectedValues(const T_LISTDATA &list)
{
    QVariantList values;
    for (const auto &[text, selected, data, roles] : list)
        if (selected)
            values.append(data);
    return values;
}

QVariantList selectedValues(QMap<QString, QVariant> *vars, const QString &key)
{
    const ListDataBinding binding(vars, key);
    return binding.isBound() ? selectedValues(*binding.data()) : QVariantList();
}

QVariant firstSelectedValue(const T_LISTDATA &list, const QVariant &fallback)
{
    for (const auto &[text, selected, data, roles] : list)
        if (selected)
            return data;
    return fallback;
}

QVariant firstSelectedValue(QMap<QString, QVariant> *vars, const QString &key,
                            const QVariant &fallback)
{
    const ListDataBinding binding(vars, key);
    return binding.isBound() ? firstSelectedValue(*binding.data(), fallback) : fallback;
}

QVariant plainValue(const QVariant &value, bool firstOnly)
{
    QVariant plain = value;
    if (isVariantPtr(value)) {
        const QVariant *target = value.value<T_VARIANT_PTR>();
        plain = target ? *target : QVariant();
    } else if (isAnyListData(value)) {
        const ListDataBinding binding(value);
        plain = binding.isBound() ? selectedValues(*binding.data()) : QVariantList();
    }
    if (firstOnly && isList(plain)) {
        const QVariantList list = plain.toList();
        if (!list.isEmpty())
            return list.first();
    }
    return plain;
}

void keepFirstChecked(T_LISTDATA &list)
{
    bool seen = false;
    for (auto &[text, selected, data, roles] : list) {
        if (selected && seen)
            selected = false;
        seen = seen || selected;
    }
}

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
