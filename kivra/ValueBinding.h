#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QString>
#include <QVariant>

namespace kivra {

// Binds one value-map entry for the length of a scope. An entry in pointer form
// (T_LISTDATA_PTR, T_VARIANT_PTR) binds the caller's object, so edits reach it directly;
// any other entry is copied and, with write-back, stored back when the binding ends.
// T is T_LISTDATA (ListDataBinding) or QVariant (VariantBinding). A pointer entry of the
// other kind binds nothing.
template<typename T>
class ValueBinding
{
public:
    // Holds a value without a map entry (nothing is written back).
    explicit ValueBinding(const QVariant &value);
    // Read-only: binds map[key], never writes back.
    ValueBinding(QMap<QString, QVariant> *map, const QString &key);
    // Binds map[key]; with writeBack the entry is stored when the binding ends. Nothing is
    // bound for a null map or a key the map does not hold.
    ValueBinding(QMap<QString, QVariant> *map, const QString &key, bool writeBack);
    ~ValueBinding();

    // The bound value; null when nothing is bound.
    T *data() const { return m_current; }
    bool isBound() const { return m_current != nullptr; }
    bool isByPointer() const { return m_byPointer; }
    bool isReadOnly() const { return m_readOnly; }
    // Meta-type id of the variant it was loaded from; -1 before loading.
    int typeId() const { return m_typeId; }
    // What the store writes: the pointer form for a caller's object, else a copy of the value.
    QVariant toVariant() const;

    // Writes toVariant() into the bound map entry (a pointer entry only when it differs).
    // False when nothing is bound, the binding is read-only or there is no map entry to write.
    bool store();

private:
    Q_DISABLE_COPY_MOVE(ValueBinding)

    void bind(QMap<QString, QVariant> *map, const QString &key, bool writeBack);
    void load(const QVariant &value);

    T *m_current = nullptr;
    QMap<QString, QVariant> *m_map = nullptr;
    QString m_key;
    bool m_writeBack = false;
    T m_local {};
    bool m_byPointer = false;
    int m_typeId = -1;
    bool m_readOnly = false;
};

using ListDataBinding = ValueBinding<T_LISTDATA>;
using VariantBinding = ValueBinding<QVariant>;

extern template class ValueBinding<T_LISTDATA>;
extern template class ValueBinding<QVariant>;

bool storeListData(ListDataBinding &binding);
bool storeVariant(VariantBinding &binding);

} // namespace kivra
