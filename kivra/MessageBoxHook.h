#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace kivra {

// Every message box of the framework goes through here, so tests can answer them headless.
// Titles are short German words ending with ":".
class MessageBoxHook
{
public:
    enum class Kind { Information, Question };
    // Answers a box: the return value of a question is true for Yes.
    using Handler =
        std::function<bool(Kind kind, QWidget *parent, const QString &title, const QString &text)>;

    // An empty handler restores the real message boxes.
    static void setHandler(const Handler &handler);

    // QMessageBox::information with an OK button.
    static void information(QWidget *parent, const QString &title, const QString &text);
    // QMessageBox::question with Yes and No and no default button; true for Yes.
    static bool question(QWidget *parent, const QString &title, const QString &text);
};

} // namespace kivra
