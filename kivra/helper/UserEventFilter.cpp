#include "UserEventFilter.h"

#include <kivra/Callbacks.h>
#include <kivra/Menus.h>
#include <kivra/Options.h>

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace kivra {

namespace {

// The keys with which QDialog presses its default button.
bool isEnterKey(const QKeyEvent &event)
{
    const int key = event.key();
    return (key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (event.modifiers() == Qt::NoModifier ||
         (key == Qt::Key_Enter && event.modifiers() == Qt::KeypadModifier));
}

} // namespace

INFO::UserEventFilter::UserEventFilter(QObject *parent)
    : QObject(parent)
{ }

void INFO::UserEventFilter::setup(QMap<QString, QVariant> *values, const CloseSaveInfo &closeSave,
                                  const INFO &windowRecord, QWidget *window, bool ignoreEscape,
                                  FormFlags formFlags)
{
    m_values = values;
    m_closeSave = closeSave;
    m_windowRecord = std::make_shared<INFO>(windowRecord);
    m_window = window;
    m_ignoreEscape = ignoreEscape;
    m_formFlags = formFlags;
}

void INFO::UserEventFilter::setKeepAlive(const QSharedPointer<QMap<QString, QVariant>> &values)
{
    m_keepAlive = values;
}

bool INFO::UserEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (m_values) {
        switch (event->type()) {
        case QEvent::StatusTip:
            showStatusTip(watched, event);
            break;
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape)
                return handleEscape(watched, event);
            if (isEnterKey(*key))
                return pressFocusedButton(watched);
            break;
        }
        case QEvent::Close:
            return handleClose(watched, event);
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void INFO::UserEventFilter::showStatusTip(QObject *watched, QEvent *event) const
{
    if (!qobject_cast<QDialog *>(watched))
        return;
    const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
    const QList<QPointer<QStatusBar>> bars = statusBars(m_values);
    for (const QPointer<QStatusBar> &bar : bars) {
        if (!bar)
            continue;
        if (auto *label = bar->findChild<QLabel *>())
            label->setText(tip);
        else
            bar->showMessage(tip, 0);
    }
}

bool INFO::UserEventFilter::pressFocusedButton(QObject *watched) const
{
    // Only a button that takes Enter presses itself; any other passes the key on to its
    // window, where a QDialog would press its default button, OK, even on "Abbrechen". The
    // button the user is on is pressed instead; a field passes the key on as before.
    const auto *window = qobject_cast<QWidget *>(watched);
    auto *button = window ? qobject_cast<QPushButton *>(window->focusWidget()) : nullptr;
    if (!button || button->window() != window || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool INFO::UserEventFilter::handleEscape(QObject *watched, QEvent *event)
{
    if (m_ignoreEscape)
        return true;
    if (!runCloseSequence(kReject)) {
        event->ignore();
        return true;
    }
    if (auto *mainWindow = qobject_cast<QMainWindow *>(watched)) {
        closeDecidedMainWindow(mainWindow, 0);
        return true;
    }
    // A dialog rejects through its own Escape handling; since Qt 6.3 the Close event that
    // QDialog::done() sends is eaten before this filter, so the sequence runs only once.
    return QObject::eventFilter(watched, event);
}

bool INFO::UserEventFilter::handleClose(QObject *watched, QEvent *event)
{
    auto *mainWindow = qobject_cast<QMainWindow *>(watched);
    if (mainWindow && mainWindow->property(OptionKey::mainwindowExitcode.latin1()).isValid()) {
        event->accept();
        return true;
    }
    const bool closeAccepts = (m_formFlags & kCloseAccepts) != 0;
    if (!runCloseSequence(closeAccepts ? kAccept : kClose)) {
        event->ignore();
        return true;
    }
    if (auto *dialog = qobject_cast<QDialog *>(watched)) {
        mainWindowExitCode = closeAccepts ? 1 : 0;
        if (closeAccepts)
            dialog->accept();
        else
            dialog->reject();
        return true;
    }
    if (mainWindow) {
        mainWindowExitCode = closeAccepts ? 1 : 0;
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool INFO::UserEventFilter::runCloseSequence(CallbackType code)
{
    const INFO noField;
    return closeWindow(m_window, m_window, code, m_windowRecord ? *m_windowRecord : INFO(), noField,
                       m_values, &m_closeSave);
}

} // namespace kivra
