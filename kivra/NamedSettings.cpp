#include "NamedSettings.h"

#include <kivra/DialogHook.h>
#include <kivra/IniStore.h>
#include <kivra/ValueExchange.h>

#include "IniStore_p.h"
#include "KivraLog_p.h"

#include <QSettings>
#include <QSignalBlocker>
#include <QStringList>

#include <optional>

namespace kivra {

namespace {

QString currentName(const QComboBox *combo)
{
    return combo->currentData(Qt::UserRole).toString();
}

const QSet<QString> *keyFilter(const SettingSelectorContext &context)
{
    return context.closeSave.filterKeys ? &context.closeSave.keptNames : nullptr;
}

void saveConfiguration(const SettingSelectorContext &context, const IniFormOptions &ini,
                       const QString &name)
{
    if (!saveValuesToIni(context.vars, ini.file, ini.group, false, keyFilter(context), name))
        qCWarning(lcKivra) << "A named setting could not be saved";
}

bool wantsSave(const SettingSelectorContext &context, const IniFormOptions &ini,
               const QString &name)
{
    return ini.autoSave ||
        DialogHook::question(context.window, QObject::tr("Einstellung speichern:"),
                             QObject::tr("Sollen evtl. Änderungen an der Einstellung '%1' "
                                         "zuvor gesichert werden?")
                                 .arg(name));
}

// A configuration's name as it is stored: its letters and digits (of any script), in lower
// case; blanks, punctuation and underscores are dropped.
QString settingName(const QString &typed)
{
    QString name;
    name.reserve(typed.size());
    for (const QChar c : typed)
        if (c.isLetterOrNumber())
            name.append(c.toLower());
    return name;
}

// Removes a configuration from the options file; true when it is no longer stored there.
bool removeConfiguration(const IniFormOptions &ini, const QString &name)
{
    if (!ini.isOn())
        return true;
    return writeIniFile(ini.file, [&](QSettings &settings) {
        settings.beginGroup(ini.group);
        settings.remove(name);
        settings.endGroup();
    });
}

} // namespace

void onSettingSelected(const SettingSelectorContext &context, int index)
{
    Q_UNUSED(index)
    if (!context.comboBox)
        return;
    const IniFormOptions ini = IniFormOptions::fromOptions(context.windowOptions);
    const QString newName = currentName(context.comboBox);
    QMap<QString, QVariant> loaded;
    if (!readIniValues(&loaded, ini.file, ini.group, false, newName))
        return;
    QStringList names;
    QString current;
    listIniConfigurations(ini.file, ini.group, &names, &current, true);
    // A configuration the user switches to that is not stored yet starts as a copy, so the
    // former one is saved without asking.
    if (!current.isEmpty() && (!names.contains(newName) || wantsSave(context, ini, current)))
        saveConfiguration(context, ini, current);
    setCurrentIniConfiguration(ini.file, newName);
    setWidgetData(context.vars, loaded, false);
}

void onNewSetting(const SettingSelectorContext &context)
{
    QComboBox *combo = context.comboBox;
    if (!combo)
        return;
    const IniFormOptions ini = IniFormOptions::fromOptions(context.windowOptions);
    const QString current = currentName(combo);
    if (!current.isEmpty() && wantsSave(context, ini, current))
        saveConfiguration(context, ini, current);
    const std::optional<QString> typed = DialogHook::getText(
        context.window, QObject::tr("Neue Einstellung:"), QObject::tr("Name der Einstellung:"));
    const QString name = settingName(typed.value_or(QString()));
    if (name.isEmpty() || !context.comboBox ||
        combo->findData(name, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    {
        const QSignalBlocker blocker(combo);
        combo->addItem(name, name);
        combo->setCurrentIndex(combo->count() - 1);
    }
    setCurrentIniConfiguration(ini.file, name);
    // The new configuration starts as a copy of the form's current values.
    saveConfiguration(context, ini, name);
}

void onDeleteSetting(const SettingSelectorContext &context)
{
    QComboBox *combo = context.comboBox;
    if (!combo)
        return;
    const QString name = currentName(combo);
    const int index = combo->currentIndex();
    if (name.isEmpty() || index < 0)
        return;
    if (combo->count() < 2) {
        DialogHook::information(context.window, QObject::tr("Eintrag löschen:"),
                                QObject::tr("Es muss ein Eintrag in der Liste existieren."));
        return;
    }
    if (!DialogHook::question(
            context.window, QObject::tr("Daten speichern:"),
            QObject::tr("Soll die Einstellung '%1' wirklich gelöscht werden?").arg(name)))
        return;
    // The prompt ran a modal loop: the selector may be gone.
    if (!context.comboBox)
        return;
    const IniFormOptions ini = IniFormOptions::fromOptions(context.windowOptions);
    // Entries mirror what is stored: one that is still in the file stays in the list.
    if (!removeConfiguration(ini, name)) {
        qCWarning(lcKivra) << "A named setting could not be removed from the options file";
        return;
    }
    const int newIndex = index > 0 ? index - 1 : 0;
    {
        const QSignalBlocker blocker(combo);
        combo->removeItem(index);
        combo->setCurrentIndex(newIndex);
    }
    // Loads the configuration that is now current; the deleted one is not offered for saving.
    emit combo->currentIndexChanged(newIndex);
}

} // namespace kivra
