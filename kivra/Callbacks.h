#pragma once

#include "CallbackTypes.h"
#include "INFO.h"

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// True when the variant holds a callable that can be called (an empty std::function
// counts as no callback).
bool hasCallback(const CallbackVariant &callback);

// Calls the callback with the eight arguments, as they are or packed into a
// CallbackContext. Without a callable, and when the callable throws, the answer is 1:
// no exception leaves this function.
int invokeCallback(const CallbackVariant &callback, const QPointer<QWidget> &window,
                   const QPointer<QWidget> &widget, const QVariant &value, CallbackType type,
                   const INFO &field, QMap<QString, QVariant> *vars, QVariant *newValue,
                   const QVariant *oldValue);

// For moments whose result does not matter: the field's callback, then the window's, both
// with the field record. Nothing happens while the widget's events are blocked.
void fireCallbacks(const INFO &field, const INFO &windowRecord, const QPointer<QWidget> &window,
                   const QPointer<QWidget> &widget, const QVariant &value, CallbackType type,
                   QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue);

// For vetoable moments: asks the field's callback, then, unless it answered 0, the window's;
// both see the same newValue, so a replacement by the field's callback reaches the window's.
// False when one answered 0; true otherwise, also while the widget's events are blocked.
bool askCallbacks(const INFO &field, const INFO &windowRecord, const QPointer<QWidget> &window,
                  const QPointer<QWidget> &widget, const QVariant &value, CallbackType type,
                  QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue);

} // namespace kivra
