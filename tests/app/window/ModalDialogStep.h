#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

// Runs step in the next modal dialog that opens over owner, once its own event loop runs; a
// dialog the step leaves open is rejected, so that a failed step cannot leave a test waiting.
// Returns a flag that turns true once the step ran.
inline std::shared_ptr<bool> onNextModalDialog(QWidget *owner,
                                               const std::function<void(QDialog *)> &step)
{
    auto ran = std::make_shared<bool>(false);
    auto *poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [owner, poll, step, ran] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog == owner)
            return;
        poll->deleteLater();
        *ran = true;
        const QPointer<QDialog> open = dialog;
        step(dialog);
        if (open && open->isVisible())
            open->reject();
    });
    poll->start(10);
    return ran;
}
