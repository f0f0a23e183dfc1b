#include "AppPrompt.h"
#include "CsvProgressDialog.h"
#include "Dialog.h"
#include "FileSizeSignal.h"
#include "UiLanguage.h"

#include <run/AppIdentity.h>
#include <run/UserNotice.h>
#include <tables/QxtCsvModel.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    QApplication app(argc, argv);
    setApplicationIdentity();

    const std::unique_ptr<QTranslator> translation = installUiTranslation(
        QLocale::system().uiLanguages(), QLibraryInfo::path(QLibraryInfo::TranslationsPath));

    // The widget-free parts report through the window's dialogs.
    QxtCsvModel::setProgressHook(&vondrel::CsvProgressDialog::callback);
    UserNotice::setHandler([](const QString &title, const QString &text) {
        AppPrompt::information(nullptr, title, text);
    });

    Dialog dialog;
    dialog.show();
    return QApplication::exec();
}
