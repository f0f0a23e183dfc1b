#include "ListDataByName.h"

#include "ListFill.h"
#include "ValueBinding.h"
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QComboBox>
#include <QListWidget>

namespace kivra {

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
