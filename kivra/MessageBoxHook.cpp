#include "MessageBoxHook.h"

#include <QMessageBox>

namespace kivra {

namespace {

MessageBoxHook::Handler &handler()
{
    static MessageBoxHook::Handler current;
    return current;
}

bool showMessageBox(MessageBoxHook::Kind kind, QWidget *parent, const QString &title,
                    const QString &text)
{
    if (kind == MessageBoxHook::Kind::Information) {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
        return true;
    }
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::NoButton) == QMessageBox::Yes;
}

bool ask(MessageBoxHook::Kind kind, QWidget *parent, const QString &title, const QString &text)
{
    const MessageBoxHook::Handler &current = handler();
    return current ? current(kind, parent, title, text) : showMessageBox(kind, parent, title, text);
}

} // namespace

void MessageBoxHook::setHandler(const Handler &newHandler)
{
    handler() = newHandler;
}

void MessageBoxHook::information(QWidget *parent, const QString &title, const QString &text)
{
    ask(Kind::Information, parent, title, text);
}

bool MessageBoxHook::question(QWidget *parent, const QString &title, const QString &text)
{
    return ask(Kind::Question, parent, title, text);
}

} // namespace kivra
