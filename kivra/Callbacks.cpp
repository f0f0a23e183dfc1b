#include "Callbacks.h"

#include <kivra/IniStore.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>
#include <kivra/Validation.h>

#include "KivraLog_p.h"

#include <QMainWindow>
#include <QTimer>

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

void setBlockEvent(const QPointer<QWidget> &widget, bool on)
{
    if (widget)
        widget->setProperty(WidgetProperty::blockEvent, on ? QVariant(true) : QVariant());
}

bool isEventBlocked(const QPointer<QWidget> &widget)
{
    if (!widget)
        return false;
    const QVariant blocked = widget->property(WidgetProperty::blockEvent);
    return blocked.isValid() && blocked.toBool();
}

BlockEventGuard::BlockEventGuard(const QPointer<QWidget> &widget)
    : m_widget(widget)
{
    setBlockEvent(m_widget, true);
}

BlockEventGuard::~BlockEventGuard()
{
    setBlockEvent(m_widget, false);
}

bool closeWindow(const QPointer<QWidget> &widget, const QPointer<QWidget> &window,
                 CallbackType code, const INFO &windowRecord, const INFO &field,
                 QMap<QString, QVariant> *vars, const CloseSaveInfo *closeSave)
{
    if (code == kAccept && !validateForm(window.data(), vars))
        return false;
    if (vars) {
        const QVariant noValue;
        if (invokeCallback(field.callback, window, widget, noValue, code, field, vars, nullptr,
                           nullptr) == 0)
            return false;
        if (invokeCallback(windowRecord.callback, window, widget, noValue, code, field, vars,
                           nullptr, nullptr) == 0)
            return false;
        invokeCallback(windowRecord.callback, window, widget, noValue, kCleanup, windowRecord, vars,
                       nullptr, nullptr);
    }
    saveIniOnClose(window.data(), windowRecord, vars, closeSave, code == kAccept);
    return true;
}

void closeDecidedMainWindow(QMainWindow *window, int exitCode)
{
    mainWindowExitCode = exitCode;
    if (!window)
        return;
    window->setProperty(OptionKey::mainwindowExitcode.latin1(), exitCode);
    QTimer::singleShot(0, window, &QWidget::close);
}

} // namespace kivra
