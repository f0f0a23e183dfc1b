#include "Callbacks.h"

#include "BlockEventGuard.h"
#include "KivraLog.h"

#include <exception>

namespace kivra {

bool hasCallback(const CallbackVariant &callback)
{
    if (const auto *legacy = std::get_if<LegacyCallback>(&callback))
        return bool(*legacy);
    if (const auto *context = std::get_if<ContextCallback>(&callback))
        return bool(*context);
    return false;
}

int invokeCallback(const CallbackVariant &callback, const QPointer<QWidget> &window,
                   const QPointer<QWidget> &widget, const QVariant &value, CallbackType type,
                   const INFO &field, QMap<QString, QVariant> *vars, QVariant *newValue,
                   const QVariant *oldValue)
{
    if (!hasCallback(callback))
        return 1;
    // Callbacks run inside the event loop, which must not be unwound by an exception.
    try {
        if (const auto *legacy = std::get_if<LegacyCallback>(&callback))
            return (*legacy)(window, widget, value, type, field, vars, newValue, oldValue);
        const CallbackContext context {window, widget, value,    type,
                                       field,  vars,   newValue, oldValue};
        return std::get<ContextCallback>(callback)(context);
    } catch (const std::exception &error) {
        qCWarning(lcKivra) << "Callback" << callbackTypeName(type) << "of field" << field.name
                           << "threw:" << error.what();
    } catch (...) {
        qCWarning(lcKivra) << "Callback" << callbackTypeName(type) << "of field" << field.name
                           << "threw";
    }
    return 1;
}

void fireCallbacks(const INFO &field, const INFO &windowRecord, const QPointer<QWidget> &window,
                   const QPointer<QWidget> &widget, const QVariant &value, CallbackType type,
                   QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue)
{
    if (isEventBlocked(widget))
        return;
    invokeCallback(field.callback, window, widget, value, type, field, vars, newValue, oldValue);
    invokeCallback(windowRecord.callback, window, widget, value, type, field, vars, newValue,
                   oldValue);
}

bool askCallbacks(const INFO &field, const INFO &windowRecord, const QPointer<QWidget> &window,
                  const QPointer<QWidget> &widget, const QVariant &value, CallbackType type,
                  QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue)
{
    if (isEventBlocked(widget))
        return true;
    if (invokeCallback(field.callback, window, widget, value, type, field, vars, newValue,
                       oldValue) == 0)
        return false;
    return invokeCallback(windowRecord.callback, window, widget, value, type, field, vars, newValue,
                          oldValue) != 0;
}

} // namespace kivra
