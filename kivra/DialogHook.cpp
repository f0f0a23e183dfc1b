#include "DialogHook.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace kivra {

namespace {

using Kind = DialogHook::Kind;

DialogHook::Handler &handler()
{
    static DialogHook::Handler current;
    return current;
}

// What the real dialogs answer, in the handler's terms.
QVariant runDialog(const DialogHook::Request &request)
{
    QWidget *parent = request.parent;
    const QString startText = request.start.toString();
    switch (request.kind) {
    case Kind::Information:
        QMessageBox::information(parent, request.title, request.text, QMessageBox::Ok);
        return {};
    case Kind::Question:
        return QMessageBox::question(parent, request.title, request.text,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::NoButton) == QMessageBox::Yes;
    case Kind::Text: {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, request.title, request.text,
                                                   QLineEdit::Normal, startText, &ok);
        return ok ? QVariant(text) : QVariant();
    }
    case Kind::Directory:
        return QFileDialog::getExistingDirectory(parent, request.title, startText,
                                                 QFileDialog::ShowDirsOnly);
    case Kind::OpenFile:
        return QFileDialog::getOpenFileName(parent, request.title, startText, request.filter);
    case Kind::SaveFile:
        return QFileDialog::getSaveFileName(parent, request.title, startText, request.filter);
    case Kind::Color: {
        const QColor color = QColorDialog::getColor(request.start.value<QColor>(), parent);
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Kind::Font: {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, request.start.value<QFont>(), parent);
        return ok ? QVariant(font) : QVariant();
    }
    case Kind::Url:
        return QDesktopServices::openUrl(request.start.toUrl());
    }
    return {};
}

QVariant ask(const DialogHook::Request &request)
{
    const DialogHook::Handler &current = handler();
    return current ? current(request) : runDialog(request);
}

QString askText(Kind kind, QWidget *parent, const QString &title, const QString &start,
                const QString &filter = {})
{
    const QVariant answer = ask({kind, parent, title, {}, start, filter});
    return answer.isValid() ? answer.toString() : QString();
}

} // namespace

void DialogHook::setHandler(const Handler &newHandler)
{
    handler() = newHandler;
}

void DialogHook::information(QWidget *parent, const QString &title, const QString &text)
{
    ask({Kind::Information, parent, title, text, {}, {}});
}

bool DialogHook::question(QWidget *parent, const QString &title, const QString &text)
{
    return ask({Kind::Question, parent, title, text, {}, {}}).toBool();
}

std::optional<QString> DialogHook::getText(QWidget *parent, const QString &title,
                                           const QString &label, const QString &text)
{
    const QVariant answer = ask({Kind::Text, parent, title, label, text, {}});
    return answer.isValid() ? std::make_optional(answer.toString()) : std::nullopt;
}

QString DialogHook::getExistingDirectory(QWidget *parent, const QString &title, const QString &dir)
{
    return askText(Kind::Directory, parent, title, dir);
}

QString DialogHook::getOpenFileName(QWidget *parent, const QString &title, const QString &dir,
                                    const QString &filter)
{
    return askText(Kind::OpenFile, parent, title, dir, filter);
}

QString DialogHook::getSaveFileName(QWidget *parent, const QString &title, const QString &dir,
                                    const QString &filter)
{
    return askText(Kind::SaveFile, parent, title, dir, filter);
}

QColor DialogHook::getColor(QWidget *parent, const QColor &initial)
{
    const QVariant answer = ask({Kind::Color, parent, {}, {}, initial, {}});
    return answer.isValid() ? answer.value<QColor>() : QColor();
}

std::optional<QFont> DialogHook::getFont(QWidget *parent, const QFont &initial)
{
    const QVariant answer = ask({Kind::Font, parent, {}, {}, initial, {}});
    return answer.isValid() ? std::make_optional(answer.value<QFont>()) : std::nullopt;
}

bool DialogHook::openUrl(const QUrl &url)
{
    return ask({Kind::Url, nullptr, {}, url.toString(), url, {}}).toBool();
}

bool DialogHook::openUrlOrSay(QWidget *parent, const QUrl &url)
{
    if (openUrl(url))
        return true;
    // Without a browser or another program for it the desktop opens nothing and says nothing.
    information(
        parent, QObject::tr("Fehler:"),
        url.isLocalFile()
            ? QObject::tr("Die Datei konnte nicht geöffnet werden:\r\n%1\r\nBitte die Datei "
                          "in einem Browser öffnen.")
                  .arg(QDir::toNativeSeparators(url.toLocalFile()))
            : QObject::tr("Die Adresse konnte nicht geöffnet werden:\r\n%1\r\nBitte die "
                          "Adresse in einem Browser öffnen.")
                  .arg(url.toDisplayString()));
    return false;
}

} // namespace kivra
