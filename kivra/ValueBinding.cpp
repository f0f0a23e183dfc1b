#include "ValueBinding.h"

namespace kivra {

namespace {

// The pointer of the binding's own kind carried by a variant; null for the other kind.
template<typename T>
T *pointerIn(const QVariant &value);
template<>
T_LISTDATA *pointerIn<T_LISTDATA>(const QVariant &value)
{
    return isListDataPtr(value) ? value.value<T_LISTDATA_PTR>() : nullptr;
}
template<>
QVariant *pointerIn<QVariant>(const QVariant &value)
{
    return isVariantPtr(value) ? value.value<T_VARIANT_PTR>() : nullptr;
}

template<typename T>
T copyOf(const QVariant &value);
template<>
T_LISTDATA copyOf<T_LISTDATA>(const QVariant &value)
{
    return value.value<T_LISTDATA>();
}
template<>
QVariant copyOf<QVariant>(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QVariant>())
        return *static_cast<const QVariant *>(value.constData());
    return value;
}

QVariant valueVariant(const T_LISTDATA &list)
{
    return QVariant::fromValue(list);
}
QVariant valueVariant(const QVariant &value)
{
    return value;
}

} // namespace

template<typename T>
ValueBinding<T>::ValueBinding(const QVariant &value)
{
    load(value);
}

template<typename T>
ValueBinding<T>::ValueBinding(QMap<QString, QVariant> *map, const QString &key)
    : m_readOnly(true)
{
    bind(map, key, false);
}

template<typename T>
ValueBinding<T>::ValueBinding(QMap<QString, QVariant> *map, const QString &key, bool writeBack)
{
    bind(map, key, writeBack);
}

template<typename T>
ValueBinding<T>::~ValueBinding()
{
    if (m_writeBack && isBound())
        store();
}

template<typename T>
QVariant ValueBinding<T>::toVariant() const
{
    if (!m_current)
        return {};
    return m_byPointer ? QVariant::fromValue(m_current) : valueVariant(*m_current);
}

template<typename T>
bool ValueBinding<T>::store()
{
    if (!m_current || !m_map || m_readOnly)
        return false;
    const QVariant value = toVariant();
    if (!m_byPointer || m_map->value(m_key) != value)
        m_map->insert(m_key, value);
    return true;
}

template<typename T>
void ValueBinding<T>::bind(QMap<QString, QVariant> *map, const QString &key, bool writeBack)
{
    if (!map)
        return;
    const auto it = map->constFind(key);
    if (it == map->cend())
        return;
    load(*it);
    // An entry in pointer form already is the caller's object: nothing to write back.
    if (!m_current || m_byPointer)
        return;
    m_map = map;
    m_key = key;
    m_writeBack = writeBack;
}

template<typename T>
void ValueBinding<T>::load(const QVariant &value)
{
    m_typeId = value.metaType().id();
    if (isListDataPtr(value) || isVariantPtr(value)) {
        m_current = pointerIn<T>(value);
        m_byPointer = m_current != nullptr;
        return;
    }
    m_local = copyOf<T>(value);
    m_current = &m_local;
}

template class ValueBinding<T_LISTDATA>;
template class ValueBinding<QVariant>;

bool storeListData(ListDataBinding &binding)
{
    return binding.store();
}

bool storeVariant(VariantBinding &binding)
{
    return binding.store();
}

} // namespace kivra
