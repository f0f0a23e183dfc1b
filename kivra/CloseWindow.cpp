#include "CloseWindow.h"

#include "Callbacks.h"
#include "SaveIniOnClose.h"
#include "ValidateForm.h"

namespace kivra {

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

} // namespace kivra
