#include "IniStore.h"

#include <kivra/DialogHook.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>
#include <kivra/Sizing.h>

#include "IniStore_p.h"
#include "IniVariantCheck_p.h"
#include "KivraLog_p.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSettings>

namespace kivra {

namespace {

QString summaryKey(const QString &summaryName)
{
    return summaryName.isEmpty() ? QString(kDefaultSummaryName) : summaryName;
}

QString keyPath(const QString &group, const QString &key)
{
    return group.isEmpty() ? key : group + QLatin1Char('/') + key;
}

// The entries to store, in key order, in the form they are stored.
QVariantMap storedEntries(const QMap<QString, QVariant> &values, const QSet<QString> *keyFilter)
{
    QVariantMap stored;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (isReservedKey(it.key()) || (keyFilter && !keyFilter->contains(it.key())))
            continue;
        const QVariant value = plainValue(it.value());
        if (!isStorableValue(value)) {
            qCWarning(lcKivra) << "Not saved: the value of" << it.key() << "cannot be stored";
            continue;
        }
        stored.insert(it.key(), value);
    }
    return stored;
}

const QString &currentNameKey()
{
    static const QString key = QStringLiteral("default_conf/name");
    return key;
}

// Whether QSettings may read the file; the reason why not is logged. A file holding a stored
// value that QSettings would decode without bounds (damaged, or made to exhaust memory) is
// not read at all: its other values may be just as wrong.
bool isReadableFile(const QString &file)
{
    QByteArray content;
    if (!readWholeFile(file, &content)) {
        qCWarning(lcKivra) << "Could not read" << QFileInfo(file).fileName();
        return false;
    }
    if (!isSafeToParse(content)) {
        qCWarning(lcKivra) << "Not read:" << QFileInfo(file).fileName()
                           << "holds a damaged stored value";
        return false;
    }
    return true;
}

// A window record's options are a map, or just its caption.
QString windowCaption(const INFO &windowRecord, const QVariantMap &options)
{
    return options.isEmpty() ? windowRecord.options.toString() : Option::title(options);
}

} // namespace

IniFormOptions IniFormOptions::fromWindow(const INFO &windowRecord)
{
    return fromOptions(windowRecord.options.toMap());
}

IniFormOptions IniFormOptions::fromOptions(const QVariantMap &options)
{
    IniFormOptions ini;
    ini.file = Option::inifileName(options);
    ini.group = Option::inigroupname(options);
    ini.summaryName = Option::inisummapname(options).trimmed();
    if (ini.summaryName.isEmpty())
        ini.summaryName = kDefaultSummaryName;
    ini.separateKeys = options.value(OptionKey::iniseparatekeys).toBool();
    ini.multiConf = Option::iniusemulticonf(options);
    ini.autoSave = Option::iniautosave(options);
    return ini;
}

bool saveValuesToIni(const QMap<QString, QVariant> *values, const QString &file,
                     const QString &group, bool separateKeys, const QSet<QString> *keyFilter,
                     const QString &summaryName)
{
    if (!values)
        return false;
    const QVariantMap stored = storedEntries(*values, keyFilter);
    const QString summary = summaryKey(summaryName);
    const auto write = [&](QSettings &settings) {
        settings.beginGroup(group);
        if (separateKeys) {
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                settings.setValue(it.key(), it.value());
        } else {
            settings.setValue(summary, stored);
        }
        settings.endGroup();
    };
    return writeIniFile(file, write, separateKeys ? QString() : keyPath(group, summary));
}

bool readIniValues(QMap<QString, QVariant> *values, const QString &file, const QString &group,
                   bool separateKeys, const QString &summaryName)
{
    if (!values || file.isEmpty() || !QFileInfo::exists(file) || !isReadableFile(file))
        return false;
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcKivra) << "Could not read" << QFileInfo(file).fileName();
        return false;
    }
    settings.beginGroup(group);
    const QString summary = summaryKey(summaryName);
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        if (isReservedKey(key))
            continue;
        if (separateKeys) {
            if (key != summary)
                values->insert(key, settings.value(key));
            continue;
        }
        if (key != summary)
            continue;
        const QVariant stored = settings.value(key);
        if (stored.metaType() != QMetaType::fromType<QVariantMap>()) {
            qCWarning(lcKivra) << "The stored values under" << key
                               << "are not a map; none restored";
            break;
        }
        QVariantMap restored = stored.toMap();
        stripReservedKeys(&restored);
        *values = restored;
        break;
    }
    settings.endGroup();
    return true;
}

bool listIniConfigurations(const QString &file, const QString &group, QStringList *names,
                           QString *currentName, bool dropUnknown)
{
    QStringList stored;
    QString current;
    bool readable = false;
    if (!file.isEmpty() && (!QFileInfo::exists(file) || isReadableFile(file))) {
        QSettings settings(file, QSettings::IniFormat);
        settings.beginGroup(group);
        stored = settings.childKeys();
        settings.endGroup();
        current = settings.value(currentNameKey(), QString()).toString();
        readable = settings.status() == QSettings::NoError;
    }
    if (dropUnknown && !current.isEmpty() && !stored.contains(current, Qt::CaseInsensitive))
        current.clear();
    if (names)
        *names = stored;
    if (currentName)
        *currentName = current;
    return readable;
}

bool setCurrentIniConfiguration(const QString &file, const QString &name)
{
    return writeIniFile(
        file, [&name](QSettings &settings) { settings.setValue(currentNameKey(), name); });
}

void initFormFromOptions(const QPointer<QWidget> &window, const INFO &windowRecord,
                         QMap<QString, QVariant> *values, bool applyWindowOptions)
{
    const QVariantMap options = windowRecord.options.toMap();
    if (window && applyWindowOptions) {
        window->setWindowTitle(windowCaption(windowRecord, options));
        applySizeOptions(window, 0, options);
    }
    if (!values)
        return;
    const IniFormOptions ini = IniFormOptions::fromWindow(windowRecord);
    if (!ini.isOn() || !QFileInfo::exists(ini.file))
        return;
    QString summary = ini.summaryName;
    if (ini.usesConfigurations()) {
        QStringList names;
        QString current;
        listIniConfigurations(ini.file, ini.group, &names, &current, true);
        if (!current.isEmpty())
            summary = current;
        if (!names.contains(summary, Qt::CaseInsensitive))
            setCurrentIniConfiguration(ini.file, summary);
    }
    readIniValues(values, ini.file, ini.group, ini.separateKeys, summary);
}

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
        !DialogHook::question(window, QObject::tr("Einstellungen speichern:"),
                              QObject::tr("Sollen evtl. Änderungen zuvor gesichert werden?")))
        return;
    const QSet<QString> *keyFilter =
        closeSave && closeSave->filterKeys ? &closeSave->keptNames : nullptr;
    // The file keeps the settings of every later start (the key among them): the user must
    // learn that they were not saved, although the window still closes.
    if (!saveValuesToIni(values, ini.file, ini.group, ini.separateKeys, keyFilter, summary))
        DialogHook::information(
            window, QObject::tr("Dateifehler:"),
            QObject::tr("Die Einstellungen konnten nicht in „%1“ gespeichert werden.")
                .arg(QDir::toNativeSeparators(ini.file)));
}

} // namespace kivra
