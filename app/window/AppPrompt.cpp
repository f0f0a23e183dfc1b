#include "AppPrompt.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLayout>
#include <QPointer>

namespace {

AppPrompt::Handler &handler()
{
    static AppPrompt::Handler current;
    return current;
}

// Room for the whole title in the title bar: its text, in bold as many title bars draw it, beside
// the window's icon and up to three buttons, each about a line high and wide.
int widthForTitle(const QWidget &window)
{
    QFont font = window.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(window.windowTitle()) + 6 * metrics.height();
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
    const QPointer<QInputDialog> dialog = new QInputDialog(parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setComboBoxItems(items);
    dialog->setComboBoxEditable(false);
    dialog->setTextValue(items.value(current));
    // Sized to its items alone, the chooser would cut its title short. Its layout keeps the
    // dialog at the layout's own minimum, so the width goes to the item list.
    if (auto *list = dialog->findChild<QComboBox *>()) {
        const QMargins margins =
            dialog->layout() ? dialog->layout()->contentsMargins() : QMargins();
        list->setMinimumWidth(widthForTitle(*dialog) - margins.left() - margins.right());
    }
    const bool accepted = dialog->exec() == QDialog::Accepted;
    // Gone when its parent went while it was open.
    if (!dialog)
        return std::nullopt;
    const QString choice = dialog->textValue();
    delete dialog;
    return accepted ? std::make_optional(choice) : std::nullopt;
}

bool AppPrompt::openUrl(QWidget *parent, const QUrl &url)
{
    return kivra::DialogHook::openUrlOrSay(parent, url);
}
