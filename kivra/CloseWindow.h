#pragma once

#include "CallbackTypes.h"
#include "CloseSaveInfo.h"
#include "INFO.h"

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// The close sequence of a form, for code kAccept, kReject or kClose: an accept is validated
// first; with a value map the field's callback (the pressed button's) and then the window's
// callback are asked with the code, and kCleanup is sent to the window's callback; last the
// options file takes its part. False when validation or a callback refused: the window stays
// open. On true the caller closes, accepts or rejects the window.
bool closeWindow(const QPointer<QWidget> &widget, const QPointer<QWidget> &window,
                 CallbackType code, const INFO &windowRecord, const INFO &field,
                 QMap<QString, QVariant> *vars, const CloseSaveInfo *closeSave);

} // namespace kivra
