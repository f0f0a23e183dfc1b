#pragma once

#include <kivra/DialogHook.h>

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <optional>

class QWidget;

// Every message box, question, item chooser, file dialog and opened URL of the application
// goes through here. The framework's own modal steps are answered by the same handler, so a
// test installs one handler and nothing waits in a modal loop.
class AppPrompt
{
public:
    struct Request : kivra::DialogHook::Request
    {
        // An item chooser: text is its label, start the index of the item shown first.
        bool chooseItem = false;
        QStringList items;
    };

    // Answers as kivra::DialogHook::Handler does; an item chooser answers the chosen item's
    // text, an invalid answer when cancelled.
    using Handler = std::function<QVariant(const Request &request)>;

    // Also answers the framework's steps; an empty handler restores the real dialogs.
    static void setHandler(const Handler &handler);

    static void information(QWidget *parent, const QString &title, const QString &text);
    // Yes and No, no default button; true for Yes.
    static bool question(QWidget *parent, const QString &title, const QString &text);
    // An empty text when cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter);
    static QString getSaveFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter);
    // One of items, not editable; nothing when cancelled.
    static std::optional<QString> getItem(QWidget *parent, const QString &title,
                                          const QString &label, const QStringList &items,
                                          int current);
    // False when it was not opened; the user is then told which file or address it was.
    static bool openUrl(QWidget *parent, const QUrl &url);
};
