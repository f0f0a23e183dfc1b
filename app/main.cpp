#include "AppIdentity.h"
#include "Dialog.h"
#include "FileSizeSignal.h"
#include "UiLanguage.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    QApplication app(argc, argv);
    setApplicationIdentity();

    QTranslator translator;
    if (!isGermanUiLanguage(QLocale::system().uiLanguages()) && loadEnglishTranslation(translator))
        QCoreApplication::installTranslator(&translator);

    Dialog dialog;
    dialog.show();
    return QApplication::exec();
}
