// The main window's settings dialog and the settings it edits.

#include "Dialog.h"

#include "SettingsDialog.h"

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
    SettingsDialog::takeFromOptionMap(settingsValues(), m_optionMap);
}

void Dialog::showSettingsDialog()
{
    SettingsDialog::exec(this, settingsValues(), m_optionMap);
}
