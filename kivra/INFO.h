#pragma once

#include "CallbackTypes.h"
#include "FieldFlags.h"
#include "MetaTypes.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <any>
#include <variant>

namespace kivra {

// What a record's value can be built from. Pointer forms bind the field to an object
// that the caller keeps; edits then go to the caller's list or variant.
using InfoValue =
    std::variant<WIDGET_INFO, T_LISTDATA, T_LISTDATA_PTR, T_VARIANT_PTR, QObject *, QVariant>;

// The description of one window or one field.
struct INFO
{
    // The window's event filter; defined with the window classes.
    class UserEventFilter;

    INFO() = default;
    INFO(quint32 type, const FieldFlags &flags = {}, const QVariant &options = QString(),
         const InfoValue &value = QVariant(), const QString &name = {},
         const CallbackVariant &callback = {}, const std::any &payload = {},
         const QVariant &extra = {});

    // A WidgetType code.
    quint32 type = 0;
    FieldFlags flags;
    // A QVariantMap of option keys, or a caption text that may carry inline options.
    QVariant options = QString();
    // Initial value or data of the field.
    QVariant value;
    // Value-map key of the field; empty = unnamed.
    QString name;
    CallbackVariant callback;
    std::any payload;
    QVariant extra;
};

// Turns a value alternative into the QVariant that a record stores.
QVariant infoValueToVariant(const InfoValue &value);

} // namespace kivra
