#include "ApplySelectionToListData.h"

#include "ListDataValues.h"
#include "SelectionValues.h"
#include "ValueBinding.h"
#include <kivra/Records.h>

#include <algorithm>

namespace kivra {

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
    for (auto &[text, checked, data, roles] : *binding.data())
        checked = std::any_of(
            selection.cbegin(), selection.cend(),
            [&data = data](const QVariant &value) { return selectionMatches(data, value); });
    if (single)
        keepFirstChecked(*binding.data());
    if (!binding.isByPointer())
        *listData = binding.toVariant();
    return true;
}

} // namespace kivra
