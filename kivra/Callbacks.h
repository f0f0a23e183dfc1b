#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

class QMainWindow;

// Calling a form's callbacks: the two call forms, the order of field and window callback,
// the veto of the before-moments, the suppression while the program changes a widget itself,
// and the close sequence that ends a form.
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

// Marks a widget so that no framework callback fires for it (while the program itself
// changes it). The mark is a flag, not a counter: switching it off ends all blocking.
void setBlockEvent(const QPointer<QWidget> &widget, bool on);
bool isEventBlocked(const QPointer<QWidget> &widget);

// Blocks the widget's callbacks for the guard's lifetime.
class BlockEventGuard
{
public:
    explicit BlockEventGuard(const QPointer<QWidget> &widget);
    ~BlockEventGuard();

private:
    Q_DISABLE_COPY_MOVE(BlockEventGuard)

    QPointer<QWidget> m_widget;
};

// The close sequence of a form, for code kAccept, kReject or kClose: an accept is validated
// first; with a value map the field's callback (the pressed button's) and then the window's
// callback are asked with the code, and kCleanup is sent to the window's callback; last the
// options file takes its part. False when validation or a callback refused: the window stays
// open. On true the caller closes, accepts or rejects the window.
bool closeWindow(const QPointer<QWidget> &widget, const QPointer<QWidget> &window,
                 CallbackType code, const INFO &windowRecord, const INFO &field,
                 QMap<QString, QVariant> *vars, const CloseSaveInfo *closeSave);

// The exit code of the last form whose main window closed: 1 accepted, 0 not; -1 while none
// has closed. Kept for the whole process, never reset between forms.
inline int mainWindowExitCode = -1;

// Ends a main window whose close sequence has already run: stores the exit code, marks the
// window ("mainwindow_exitcode") so that its Close event passes without asking the callbacks
// again, and closes it once control is back in the event loop.
void closeDecidedMainWindow(QMainWindow *window, int exitCode);

} // namespace kivra
