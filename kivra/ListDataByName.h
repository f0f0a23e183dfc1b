#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace kivra {

// Refills the combo box and the list widget registered under name from listData (list data
// by value or through a pointer) and stores it under name in the value map. True when a
// combo box or list widget was found; the list data is stored either way.
bool setListDataByName(const QVariant &listData, QMap<QString, QVariant> *values,
                       const QString &name, int comboSignalMode, bool checkable,
                       bool multipleSelection, bool sort, bool adjustWidth);

} // namespace kivra
