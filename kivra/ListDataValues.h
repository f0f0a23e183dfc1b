#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <vector>

namespace kivra {

// The user data of every selected item, in list order.
QVariantList selectedValues(const T_LISTDATA &list);
// The same for the list data under key, read without writing back.
QVariantList selectedValues(QMap<QString, QVariant> *vars, const QString &key);

// The user data of the first selected item, or fallback when none is selected.
QVariant firstSelectedValue(const T_LISTDATA &list, const QVariant &fallback = {});
QVariant firstSelectedValue(QMap<QString, QVariant> *vars, const QString &key,
                            const QVariant &fallback = {});

// The value a map entry stands for: the variable a T_VARIANT_PTR points to, the selected
// user data of list data (by value or pointer), anything else unchanged. With firstOnly a
// non-empty list gives only its first element.
QVariant plainValue(const QVariant &value, bool firstOnly = false);

// Clears the selected flag of every item after the first selected one.
void keepFirstChecked(T_LISTDATA &list);

// The order in which the items are shown: list order, or stable by text (case-sensitive).
std::vector<size_t> displayOrder(const T_LISTDATA &list, bool sort);

} // namespace kivra
