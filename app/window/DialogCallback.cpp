// The main window's settings dialog and the settings it edits.

#include "Dialog.h"

#include "AppPrompt.h"
#include "SettingsDialog.h"
#include "UiLog.h"

#include <run/SettingLimits.h>

QMap<QString, QVariant *> Dialog::settingsValues()
{
    return {
        {QStringLiteral("intScaleFactor"), &m_intScaleFactor},
        {QStringLiteral("floatScaleFactor"), &m_floatScaleFactor},
        {QStringLiteral("simulateReal"), &m_simulateReal},
        {QStringLiteral("floatScaleFactorGreater1"), &m_floatScaleFactorGreater1},
        {QStringLiteral("saveFloatAsText"), &m_saveFloatAsText},
        {QStringLiteral("dateMaxShiftDays"), &m_dateMaxShiftDays},
        {QStringLiteral("dateShiftPerDataSet"), &m_dateShiftPerDataSet},
        {QStringLiteral("saveDateAsText"), &m_saveDateAsText},
        {QStringLiteral("saveDateTimeAsText"), &m_saveDateTimeAsText},
        {QStringLiteral("dateToTextFmt"), &m_dateToTextFmt},
        {QStringLiteral("dateToTextISO"), &m_dateToTextISO},
        {QStringLiteral("dateTimeToTextFmt"), &m_dateTimeToTextFmt},
        {QStringLiteral("dateTimeToTextISO"), &m_dateTimeToTextISO},
        {QStringLiteral("textToDateFmt"), &m_textToDateFmt},
        {QStringLiteral("textToDateISO"), &m_textToDateISO},
        {QStringLiteral("textToDateTimeFmt"), &m_textToDateTimeFmt},
        {QStringLiteral("textToDateTimeISO"), &m_textToDateTimeISO},
        {QStringLiteral("removeMetaData"), &m_removeMetaData},
    };
}

void Dialog::takeSettingsFromOptionMap()
{
    // Values read from a file never passed the dialog's widgets: they get the same limits.
    const QStringList corrected = SettingLimits::boundAll(m_optionMap);
    SettingsDialog::takeFromOptionMap(settingsValues(), m_optionMap);
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
    SettingsDialog::exec(this, settingsValues(), m_optionMap);
}
