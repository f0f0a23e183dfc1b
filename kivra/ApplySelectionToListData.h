#pragma once

#include <QVariant>

namespace kivra {

// Turns a stored selection (the user data of the items that were checked) back into check
// marks of list data: every item named by restored is checked, every other one unchecked; with
// single only the first checked item stays checked. Values compare by their text forms too,
// so numbers read back as text still name their items. listData holds list data by value
// (replaced by the marked copy) or through a pointer (the caller's list is changed in place).
// False when listData holds no list data.
bool applySelectionToListData(const QVariant &restored, QVariant *listData, bool single);

} // namespace kivra
