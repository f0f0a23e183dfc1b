#include "AppPrompt.h"

#include <QInputDialog>

namespace {

AppPrompt::Handler &handler()
{
    static AppPrompt::Handler current;
    return current;
}

} // namespace

void AppPrompt::setHandler(const Handler &newHandler)
{
    handler() = newHandler;
    if (!newHandler) {
        kivra::DialogHook::setHandler({});
        return;
    }
    kivra::DialogHook::setHandler([newHandler](const kivra::DialogHook::Request &request) {
        Request full;
        static_cast<kivra::DialogHook::Request &>(full) = request;
        return newHandler(full);
    });
}

void AppPrompt::information(QWidget *parent, const QString &title, const QString &text)
{
    kivra::DialogHook::information(parent, title, text);
}

bool AppPrompt::question(QWidget *parent, const QString &title, const QString &text)
{
    return kivra::DialogHook::question(parent, title, text);
}

QString AppPrompt::getOpenFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter)
{
    return kivra::DialogHook::getOpenFileName(parent, title, dir, filter);
}

QString AppPrompt::getSaveFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter)
{
    return kivra::DialogHook::getSaveFileName(parent, title, dir, filter);
}

std::optional<QString> AppPrompt::getItem(QWidget *parent, const QString &title,
                                          const QString &label, const QStringList &items,
                                          int current)
{
    if (const Handler &answer = handler()) {
        Request request;
        request.parent = parent;
        request.title = title;
        request.text = label;
        request.start = current;
        request.chooseItem = true;
        request.items = items;
        const QVariant choice = answer(request);
        return choice.isValid() ? std::make_optional(choice.toString()) : std::nullopt;
    }
    bool ok = false;
    const QString choice = QInputDialog::getItem(parent, title, label, items, current, false, &ok);
    return ok ? std::make_optional(choice) : std::nullopt;
}

bool AppPrompt::openUrl(const QUrl &url)
{
    return kivra::DialogHook::openUrl(url);
}
