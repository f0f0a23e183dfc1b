#include "SaveIniOnClose.h"

#include "IniConfigurations.h"
#include "IniFormOptions.h"
#include "IniValues.h"
#include "MessageBoxHook.h"
#include <kivra/Registry.h>

#include <QDir>
#include <QObject>

namespace kivra {

void saveIniOnClose(QWidget *window, const INFO &windowRecord, QMap<QString, QVariant> *values,
                    const CloseSaveInfo *closeSave, bool accepted)
{
    if (!values)
        return;
    // The caller gets back only field values, however the form was closed.
    stripReservedKeys(values);
    if (!accepted)
        return;
    const IniFormOptions ini = IniFormOptions::fromWindow(windowRecord);
    if (!ini.isOn())
        return;
    QString summary = ini.summaryName;
    if (ini.usesConfigurations()) {
        QString current;
        listIniConfigurations(ini.file, ini.group, nullptr, &current, false);
        if (!current.isEmpty())
            summary = current;
    }
    if (!ini.autoSave &&
        !MessageBoxHook::question(window, QObject::tr("Einstellungen speichern:"),
                                  QObject::tr("Sollen evtl. Änderungen zuvor gesichert werden?")))
        return;
    const QSet<QString> *keyFilter =
        closeSave && closeSave->filterKeys ? &closeSave->keptNames : nullptr;
    // The file keeps the settings of every later start (the key among them): the user must
    // learn that they were not saved, although the window still closes.
    if (!saveValuesToIni(values, ini.file, ini.group, ini.separateKeys, keyFilter, summary))
        MessageBoxHook::information(
            window, QObject::tr("Dateifehler:"),
            QObject::tr("Die Einstellungen konnten nicht in „%1“ gespeichert werden.")
                .arg(QDir::toNativeSeparators(ini.file)));
}

} // namespace kivra
