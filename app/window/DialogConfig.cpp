#include "Dialog.h"

#include "AppPrompt.h"
#include "ConfigurationFile.h"

#include <kivra/ListData.h>
#include <kivra/ValueExchange.h>
#include <run/FileErrorMessage.h>
#include <run/SameFile.h>

#include <QComboBox>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString emptyDataFieldsKey = QStringLiteral("empty_data_fields");
const QString scriptUseKey = QStringLiteral("script_use");
const QString scriptFilenameKey = QStringLiteral("script_filename");
const QString configurationSuffix = QStringLiteral(".vondrel.conf");

QString configurationFilter()
{
    return QObject::tr("Konfigurationen (*.vondrel.conf)");
}

} // namespace

void Dialog::saveConfiguration()
{
    QString path = AppPrompt::getSaveFileName(this, tr("Konfiguration speichern"),
                                              configurationFolder(), configurationFilter());
    if (path.isEmpty())
        return;
    // "Laden" offers only names with the suffix; a name without it could never be found again.
    if (!path.endsWith(configurationSuffix, Qt::CaseInsensitive)) {
        path += configurationSuffix;
        // The file dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(path) &&
            !AppPrompt::question(this, tr("Konfiguration speichern"),
                                 tr("Die Datei\r\n%1\r\nbesteht bereits. Soll sie ersetzt "
                                    "werden?")
                                     .arg(path)))
            return;
    }
    saveConfigurationTo(path);
}

void Dialog::loadConfiguration()
{
    const QString path = AppPrompt::getOpenFileName(this, tr("Konfiguration laden"),
                                                    configurationFolder(), configurationFilter());
    if (!path.isEmpty())
        loadConfigurationFrom(path);
}

QString Dialog::configurationFolder() const
{
    for (const QString &file : {m_configurationFile, m_inputFilename.toString().trimmed()}) {
        if (file.isEmpty())
            continue;
        const QString folder = QFileInfo(file).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return m_settingsDir;
}

bool Dialog::saveConfigurationTo(const QString &path)
{
    const QStringList keep = protectedFiles();
    if (std::any_of(keep.cbegin(), keep.cend(),
                    [&](const QString &name) { return wouldReplace(path, name); })) {
        AppPrompt::information(this, tr("Dateifehler:"),
                               tr("Die Eingabe-, Ausgabe-, Script- und Optionsdateien dürfen nicht "
                                  "durch eine Konfiguration ersetzt werden:\r\n%1")
                                   .arg(path));
        return false;
    }
    const QVariantMap contents = ConfigurationFile::contents(
        m_optionMap, m_columnTemplates, kivra::selectedValues(&m_optionMap, emptyDataFieldsKey));
    if (!ConfigurationFile::save(path, contents)) {
        AppPrompt::information(
            this, tr("Dateifehler:"),
            tr("Die Konfiguration konnte nicht gespeichert werden:\r\n%1")
                .arg(FileErrorMessage::describe(
                    path, FileErrorMessage::reason(path, FileErrorMessage::Access::Write))));
        return false;
    }
    m_configurationFile = path;
    return true;
}

bool Dialog::loadConfigurationFrom(const QString &path)
{
    QVariantMap loaded = ConfigurationFile::load(path);
    if (loaded.isEmpty()) {
        const QFileInfo info(path);
        AppPrompt::information(
            this, tr("Dateifehler:"),
            info.isFile() && info.isReadable()
                ? tr("Die Datei enthält keine Konfiguration:\r\n%1").arg(path)
                : tr("Die Konfiguration konnte nicht geladen werden:\r\n%1")
                      .arg(FileErrorMessage::describe(
                          path, FileErrorMessage::reason(path, FileErrorMessage::Access::Read))));
        return false;
    }
    m_configurationFile = path;
    if (loaded.value(scriptUseKey).toBool() && !confirmLoadedScript(loaded))
        loaded.insert(scriptUseKey, false);
    // Applied once the reload has rebuilt the list of columns.
    const QVariantMap cleared {{emptyDataFieldsKey, loaded.value(emptyDataFieldsKey)}};

    kivra::setWidgetData(&m_optionMap, loaded, false);
    for (const QString &key : ConfigurationFile::settingKeys())
        m_optionMap.insert(key, loaded.value(key, m_settings.value(key)));
    takeSettingsFromOptionMap();
    m_columnTemplates = loaded.value(ConfigurationFile::connectedFieldsKey).toMap();

    // Without detection, so that the loaded CSV options hold, and without clearing the templates.
    if (reportUnreadableInput(m_inputFilename.toString()))
        loadInputFile(m_inputFilename.toString(), false, false, nullptr, false);
    kivra::setWidgetData(&m_optionMap, cleared, false);
    // Also when the reload failed and the previous columns stay.
    showAssignedColumns();
    onFieldChanged(QStringLiteral("input_editable"));
    return true;
}

bool Dialog::confirmLoadedScript(const QVariantMap &loaded)
{
    const QString script = loaded.value(scriptFilenameKey, m_scriptFilename).toString();
    if (m_scriptUse.toBool() && isSameFile(script, m_scriptFilename.toString()))
        return true;
    return AppPrompt::question(
        this, tr("Scriptdatei:"),
        tr("Die Konfiguration schaltet die Scriptdatei\r\n%1\r\nein. Ein Script kann die Ausgabe "
           "verändern und Dateien schreiben.\r\nSoll es bei „Testen und Erstellen“ ausgeführt "
           "werden?")
            .arg(script));
}

void Dialog::showAssignedColumns()
{
    if (!m_columnCombo)
        return;
    for (int i = 0; i < m_columnCombo->count(); ++i) {
        const QString id = m_columnCombo->itemData(i, Qt::UserRole).toString();
        m_columnCombo->setItemIcon(i, m_columnTemplates.contains(id) ? m_assignedIcon : QIcon());
    }
    onColumnChanged();
}

QStringList Dialog::protectedFiles() const
{
    return {m_inputFilename.toString(),  m_loadedInputName.toString(),
            m_exportFilename.toString(), m_scriptFilename.toString(),
            optionsFilePath(),           optionsLockPath(),
            optionsBackupPath(),         m_lastMappingFile};
}
