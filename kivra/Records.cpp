#include "Records.h"

#include <QMetaType>

namespace kivra {

void registerMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<T_LISTDATA>("kivra::T_LISTDATA");
        qRegisterMetaType<T_LISTDATA_PTR>("kivra::T_LISTDATA_PTR");
        qRegisterMetaType<T_VARIANT_PTR>("kivra::T_VARIANT_PTR");
        qRegisterMetaType<T_VARMAP_SHARED_PTR>("kivra::T_VARMAP_SHARED_PTR");
        qRegisterMetaType<WIDGET_INFO>("kivra::WIDGET_INFO");
        qRegisterMetaType<WIDGET_INFO>("kivra::T_WIDGET_INFO");
        qRegisterMetaType<CallbackContext>("kivra::CallbackContext");
        return true;
    }();
    Q_UNUSED(registered);
}

bool isListData(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<T_LISTDATA>();
}

bool isListDataPtr(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<T_LISTDATA_PTR>();
}

bool isAnyListData(const QVariant &value)
{
    return isListData(value) || isListDataPtr(value);
}

bool isVariantPtr(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<T_VARIANT_PTR>();
}

bool isList(const QVariant &value)
{
    const int id = value.metaType().id();
    return id == QMetaType::QVariantList || id == QMetaType::QStringList;
}

const char *callbackTypeName(CallbackType type)
{
    static constexpr const char *names[] = {
        "kInit",
        "kAccept",
        "kReject",
        "kClose",
        "kBeforeDataChanged",
        "kAfterDataChanged",
        "kBeforeAction",
        "kAfterAction",
        "kValidate",
        "kTimer",
        "kSetActive",
        "kKillActive",
        "kCleanup",
    };
    const int index = int(type);
    return index >= 0 && index < int(std::size(names)) ? names[index] : "";
}

INFO::INFO(quint32 type, const FieldFlags &flags, const QVariant &options, const InfoValue &value,
           const QString &name, const CallbackVariant &callback, const std::any &payload,
           const QVariant &extra)
    : type(type)
    , flags(flags)
    , options(options)
    , value(infoValueToVariant(value))
    , name(name)
    , callback(callback)
    , payload(payload)
    , extra(extra)
{ }

QVariant infoValueToVariant(const InfoValue &value)
{
    return std::visit(
        [](const auto &alternative) -> QVariant {
            using T = std::decay_t<decltype(alternative)>;
            if constexpr (std::is_same_v<T, QVariant>)
                return alternative;
            else
                return QVariant::fromValue(alternative);
        },
        value);
}

} // namespace kivra
