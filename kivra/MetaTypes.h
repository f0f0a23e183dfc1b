#pragma once

#include <QList>
#include <QMap>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <tuple>
#include <utility>
#include <vector>

namespace kivra {

// Content of a list or combo field. One item: display text, selected (checked) flag,
// user data, and extra (role, value) pairs set on the item.
using T_LISTDATA = std::vector<
    std::tuple<QString, bool, QVariant, std::vector<std::pair<Qt::ItemDataRole, QVariant>>>>;
using T_LISTITEM = T_LISTDATA::value_type;
// A list owned by the caller; edits through the value map reach the caller's list.
using T_LISTDATA_PTR = T_LISTDATA *;
// A QVariant owned by the caller and bound to a field.
using T_VARIANT_PTR = QVariant *;
using T_VARMAP_SHARED_PTR = QSharedPointer<QMap<QString, QVariant>>;
// The widgets registered under one field name, in registration order.
using WIDGET_INFO = QList<QPointer<QWidget>>;

// Registers the framework's types with the meta-type system under their names
// ("kivra::T_LISTDATA", ...). Safe to call any number of times.
void registerMetaTypes();

bool isListData(const QVariant &value);
bool isListDataPtr(const QVariant &value);
// List data by value or through a pointer.
bool isAnyListData(const QVariant &value);
bool isVariantPtr(const QVariant &value);
// A QVariantList or a QStringList.
bool isList(const QVariant &value);

} // namespace kivra
