#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace kivra {

// The event filter of a form window: shows status tips in the form's status bars, lets Return
// and Enter press the push button that has the focus, and turns the Escape key and the
// window's close button into the close sequence, setting the exit code. Installed on the
// window and owned by it.
class INFO::UserEventFilter : public QObject
{
public:
    explicit UserEventFilter(QObject *parent = nullptr);

    // ignoreEscape: Escape is eaten and does nothing (a form without a Cancel button). A null
    // value map leaves every event alone.
    void setup(QMap<QString, QVariant> *values, const CloseSaveInfo &closeSave,
               const INFO &windowRecord, QWidget *window, bool ignoreEscape, FormFlags formFlags);

    // Keeps a value map that no caller owns alive for as long as the filter can use it.
    void setKeepAlive(const QSharedPointer<QMap<QString, QVariant>> &values);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showStatusTip(QObject *watched, QEvent *event) const;
    bool pressFocusedButton(QObject *watched) const;
    bool handleEscape(QObject *watched, QEvent *event);
    bool handleClose(QObject *watched, QEvent *event);
    bool runCloseSequence(CallbackType code);

    QMap<QString, QVariant> *m_values = nullptr;
    QSharedPointer<QMap<QString, QVariant>> m_keepAlive;
    CloseSaveInfo m_closeSave;
    QPointer<QWidget> m_window;
    std::shared_ptr<INFO> m_windowRecord;
    bool m_ignoreEscape = false;
    FormFlags m_formFlags = 0;
};

} // namespace kivra
