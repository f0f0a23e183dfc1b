#include "MetaTypes.h"

#include "CallbackTypes.h"

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

} // namespace kivra
