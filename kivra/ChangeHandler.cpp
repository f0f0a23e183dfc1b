#include "ChangeHandler.h"

#include "ReemitChange.h"
#include "ValueBinding.h"
#include "WidgetValue.h"
#include <kivra/Callbacks.h>

namespace kivra {

void onWidgetValueChanged(const INFO &field, const INFO &windowRecord,
                          const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                          const QVariant &signalValue, QMap<QString, QVariant> *vars,
                          const QString &fallbackName)
{
    if (!widget)
        return;
    const QString key = field.name.isEmpty() ? fallbackName : field.name;

    QVariant newValue;
    getSetWidgetValue(widget, false, false, &newValue);
    const QVariant asRead = newValue;
    QVariant oldValue;
    {
        const VariantBinding current(vars, key);
        if (current.isBound())
            oldValue = *current.data();
    }

    if (hasFlags(field.flags, kAskBefore)) {
        if (!askCallbacks(field, windowRecord, window, widget, signalValue, kBeforeDataChanged,
                          vars, &newValue, &oldValue)) {
            getSetWidgetValue(widget, true, true, &oldValue);
            return;
        }
        if (newValue != asRead)
            getSetWidgetValue(widget, true, true, &newValue);
    }

    const bool changed = newValue != oldValue;
    if (!changed && !isForcedChange())
        return;
    if (changed) {
        VariantBinding stored(vars, key, true);
        if (stored.isBound())
            *stored.data() = newValue;
    }
    fireCallbacks(field, windowRecord, window, widget, signalValue, kAfterDataChanged, vars,
                  &newValue, &oldValue);
}

} // namespace kivra
