#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantList>

class QComboBox;
class QListWidget;

// List data in the value map: binding an entry (the caller's list or variant through a
// pointer, or a copy written back), reading the selected user data, and filling combo boxes
// and list widgets from it.
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

// The user data of every selected item, in list order.
QVariantList selectedValues(const T_LISTDATA &list);
// The same for the list data under key, read without writing back.
QVariantList selectedValues(QMap<QString, QVariant> *vars, const QString &key);

// The user data of the first selected item, or fallback when none is selected.
QVariant firstSelectedValue(const T_LISTDATA &list, const QVariant &fallback = {});
QVariant firstSelectedValue(QMap<QString, QVariant> *vars, const QString &key,
                            const QVariant &fallback = {});

// The value a map entry stands for: the variable a T_VARIANT_PTR points to, the selected
// user data of list data (by value or pointer), anything else unchanged. With firstOnly a
// non-empty list gives only its first element.
QVariant plainValue(const QVariant &value, bool firstOnly = false);

// Clears the selected flag of every item after the first selected one.
void keepFirstChecked(T_LISTDATA &list);

// How fillComboBox signals the new current item.
enum ComboChangeMode {
    kComboNeverSignal = 0,
    kComboSignalIfMoved = 1, // when the current row differs from the one before the refill
    kComboAlwaysSignal = 2,
};

// Refills a combo box from list data, with its signals blocked and updates off. Only the
// first selected item keeps its flag (in the list itself) and becomes the current item;
// none selected leaves no current item. With sort the items appear sorted by text
// (case-sensitive); the list keeps its order. Emits currentIndexChanged at most once,
// afterwards, as changeMode says.
void fillComboBox(T_LISTDATA &list, QComboBox *combo, int changeMode, bool adjustToContents,
                  bool sort);

// Refills a list widget from list data. A check list ticks the selected items; a multi-select
// list selects them (extended selection); a single-selection list keeps only the first
// selected flag (in the list itself) and makes that item current once signals are restored.
// fitWidth makes the list at least as wide as its contents.
void fillListWidget(T_LISTDATA &list, QListWidget *listWidget, bool fitWidth, bool checkable,
                    bool multiSelect, bool sort);

} // namespace kivra
