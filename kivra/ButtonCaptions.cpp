#include "ButtonCaptions.h"

#include <kivra/Records.h>

#include <QObject>

namespace kivra {

QMap<int, QString> buttonCaptions()
{
    static const QMap<int, QString> captions = [] {
        const QString change = QObject::tr("Ändern...");
        const QString help = QObject::tr("Hilfe");
        return QMap<int, QString> {
            {kOkButton, QObject::tr("OK")},
            {kCancelButton, QObject::tr("Abbrechen")},
            {kHelpUrlButton, help},
            {kOpenLineEdit, QObject::tr("Öffnen...")},
            {kColorButton, QObject::tr("Farbe ändern...")},
            {kFontButton, QObject::tr("Schrift ändern...")},
            {kDirLineEdit, change},
            {kDirButton, change},
            {kOpenFileLineEdit, change},
            {kOpenFileButton, change},
            {kSaveFileLineEdit, change},
            {kSaveFileButton, change},
            {kCloseButton, QObject::tr("Beenden")},
            {kHelpButton, help},
        };
    }();
    return captions;
}

} // namespace kivra
