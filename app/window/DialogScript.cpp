#include "Dialog.h"

#include <run/RunSettings.h>

#include <QComboBox>

ScriptStep::Setup Dialog::scriptStepSetup() const
{
    ScriptStep::Setup setup;
    setup.scriptFileName = m_scriptFilename.toString();
    if (m_columnCombo) {
        for (int i = 0; i < m_columnCombo->count(); ++i) {
            setup.columnIds.append(m_columnCombo->itemData(i, Qt::UserRole).toString());
            setup.columnItemTexts.append(m_columnCombo->itemText(i));
        }
    }
    setup.dateText = dateTextSettings();
    // The configuration too, which a configuration saved again may replace but a script not.
    setup.protectedFiles = protectedFiles() << m_configurationFile;
    return setup;
}

vondrel::DateTextSettings Dialog::dateTextSettings() const
{
    RunSettings settings;
    m_settings.applyTo(settings, m_optionMap);
    return settings.dateText;
}
