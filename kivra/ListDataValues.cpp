#include "ListDataValues.h"

#include "ValueBinding.h"

#include <algorithm>
#include <numeric>

namespace kivra {

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

} // namespace kivra
