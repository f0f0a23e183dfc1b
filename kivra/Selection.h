#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <vector>

// Selections by user data: a stored or given selection value turned into check marks of
// list data and into the states of combo boxes, list widgets and menu buttons, and the
// refill of a field's list widgets by name.
namespace kivra {

// A selection value names list items by their user data: a single variant, a variant or
// string list, or list data whose selected items form the selection.

// Whether an item's user data is named by one selection value. Values of different types
// (a number in the list, the same number read back from an INI file as text) are compared
// by their text forms.
bool selectionMatches(const QVariant &itemData, const QVariant &value);

// The selection values of value for the list field name. When an item of the field's list
// data carries a list as user data, value counts as one element. Without all only the first
// is kept. False when there is none.
bool valuesToSelect(QMap<QString, QVariant> *values, const QString &name, const QVariant &value,
                    bool all, QVariantList *out);

// Marks the items of the list data under name that the selection names, and only those.
// False when there is no selection value or no list data under name, and when a single
// selection (all false) names no item: the list data is then left as it was.
bool selectListDataItems(QMap<QString, QVariant> *values, const QString &name,
                         const QVariant &value, bool all);

// Shows a selection in the combo box, list widget or menu button registered under name,
// with their signals blocked unless keepSignals. A combo box takes the first value; a list
// or menu without kMultiSelect the first value; a check list ticks, a selection list selects,
// a menu checks exactly the named items. Actions whose checked state changed are appended
// to changedActions when given. False when nothing was applied, also when a single value
// names no item: the widget is then left as it was.
bool applySelectionValue(QMap<QString, QVariant> *values, const QString &name,
                         const QVariant &value, bool keepSignals,
                         std::vector<QPointer<QObject>> *changedActions);

// Turns a stored selection (the user data of the items that were checked) back into check
// marks of list data: every item named by restored is checked, every other one unchecked; with
// single only the first named item in list order is checked. Values compare by their text forms
// too, so numbers read back as text still name their items. listData holds list data by value
// (replaced by the marked copy) or through a pointer (the caller's list is changed in place).
// False, and listData unchanged, when it holds no list data or when a single selection names
// no item.
bool applySelectionToListData(const QVariant &restored, QVariant *listData, bool single);

// Refills the combo box and the list widget registered under name from listData (list data
// by value or through a pointer) and stores it under name in the value map. True when a
// combo box or list widget was found; the list data is stored either way.
bool setListDataByName(const QVariant &listData, QMap<QString, QVariant> *values,
                       const QString &name, int comboSignalMode, bool checkable,
                       bool multipleSelection, bool sort, bool adjustWidth);

} // namespace kivra
