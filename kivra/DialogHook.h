#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <optional>

class QWidget;

// Every modal step the framework takes goes through one replaceable hook: message boxes,
// text input, file and directory choosers, colour and font dialogs, and opening a URL with
// the desktop's handler. Without a handler the real dialogs run; a test installs a handler
// that answers at once, so nothing waits in a modal loop.
namespace kivra {

class DialogHook
{
public:
    enum class Kind {
        Information,
        Question,
        Text,
        Directory,
        OpenFile,
        SaveFile,
        Color,
        Font,
        Url,
    };

    // One modal step, as the framework asks it.
    struct Request
    {
        Kind kind = Kind::Information;
        QWidget *parent = nullptr;
        // The window title of the box or dialog; empty for Url.
        QString title;
        // The message, the input's label, or the URL for Url.
        QString text;
        // Where the dialog starts: the input's text, the directory or file, the colour or font.
        QVariant start;
        // The file filter of OpenFile and SaveFile.
        QString filter;
    };

    // Answers a request: Question true for Yes; Text, Directory, OpenFile and SaveFile the
    // chosen text; Color a QColor; Font a QFont; Url true when it was opened. An invalid
    // answer means cancelled (No, nothing chosen). The answer to Information is not used.
    using Handler = std::function<QVariant(const Request &request)>;

    // An empty handler restores the real dialogs.
    static void setHandler(const Handler &handler);

    // QMessageBox::information with an OK button.
    static void information(QWidget *parent, const QString &title, const QString &text);
    // QMessageBox::question with Yes and No and no default button; true for Yes.
    static bool question(QWidget *parent, const QString &title, const QString &text);
    // QInputDialog::getText with normal echo; nothing when cancelled.
    static std::optional<QString> getText(QWidget *parent, const QString &title,
                                          const QString &label, const QString &text = {});
    // The QFileDialog choosers; an empty text when cancelled. The directory chooser shows
    // directories only.
    static QString getExistingDirectory(QWidget *parent, const QString &title, const QString &dir);
    static QString getOpenFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter);
    static QString getSaveFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter);
    // QColorDialog::getColor; an invalid colour when cancelled.
    static QColor getColor(QWidget *parent, const QColor &initial);
    // QFontDialog::getFont; nothing when cancelled.
    static std::optional<QFont> getFont(QWidget *parent, const QFont &initial);
    // QDesktopServices::openUrl; false when no handler opened it.
    static bool openUrl(const QUrl &url);
    // openUrl; a file or address that cannot be opened is named in an information box over
    // parent, so that the user can open it another way. False when it was not opened.
    static bool openUrlOrSay(QWidget *parent, const QUrl &url);
};

} // namespace kivra
