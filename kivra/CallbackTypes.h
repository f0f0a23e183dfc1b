#pragma once

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <variant>

namespace kivra {

struct INFO;

// The moments at which the framework calls a form's callbacks. A result of 0 refuses
// for the before-moments (kBeforeDataChanged, kBeforeAction, kValidate, kKillActive)
// and for the close moments (kAccept, kReject, kClose); other results are ignored.
enum CallbackType {
    kInit = 0,
    kAccept = 1,
    kReject = 2,
    kClose = 3,
    kBeforeDataChanged = 4,
    kAfterDataChanged = 5,
    kBeforeAction = 6,
    kAfterAction = 7,
    kValidate = 8,
    kTimer = 9,
    kSetActive = 10,
    kKillActive = 11,
    kCleanup = 12,
};

// Names in the order of the enumeration; "" for a value outside it.
const char *callbackTypeName(CallbackType type);

// The arguments of one callback; every reference is valid only during the call.
struct CallbackContext
{
    const QPointer<QWidget> &window;
    // The widget that caused the call: the window for kInit, null for kTimer.
    const QPointer<QWidget> &widget;
    const QVariant &value;
    CallbackType type;
    // The record of the field that caused the call; the window record for window moments.
    const INFO &field;
    QMap<QString, QVariant> *vars;
    // A before-callback may overwrite it to replace the value; null where there is none.
    QVariant *newValue;
    const QVariant *oldValue;
};

using LegacyCallback =
    std::function<int(const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                      const QVariant &value, CallbackType type, const INFO &field,
                      QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue)>;
using ContextCallback = std::function<int(const CallbackContext &)>;
// Index 0: no callback, 1: LegacyCallback, 2: ContextCallback.
using CallbackVariant = std::variant<std::monostate, LegacyCallback, ContextCallback>;

} // namespace kivra
