// The main window's settings dialog and the settings it edits.

#include "Dialog.h"

#include "AppPrompt.h"
#include "SettingsDialog.h"
#include "UiLog.h"

#include <run/SettingLimits.h>

void Dialog::takeSettingsFromOptionMap()
{
    // Values read from a file never passed the dialog's widgets: they get the same limits.
    const QStringList corrected = SettingLimits::boundAll(m_optionMap);
    SettingsDialog::takeFromOptionMap(m_settings.bindings(), m_optionMap);
    if (corrected.isEmpty())
        return;
    qCInfo(lcUi) << "Settings brought into their limits:" << corrected;
    QStringList captions;
    for (const QString &key : corrected)
        captions.append(SettingsDialog::caption(key));
    AppPrompt::information(this, tr("Info:"),
                           tr("Diese Einstellungen lagen außerhalb der erlaubten Grenzen und "
                              "wurden angepasst:\r\n%1")
                               .arg(captions.join(QStringLiteral("\r\n"))));
}

void Dialog::showSettingsDialog()
{
    SettingsDialog::exec(this, m_settings.bindings(), m_optionMap);
}
