#include "IniValues.h"

#include "KivraLog_p.h"
#include "StorableValue.h"
#include "WriteIniFile.h"
#include <kivra/ListData.h>
#include <kivra/Registry.h>

#include <QFileInfo>
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

} // namespace

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
    if (!values || file.isEmpty() || !QFileInfo::exists(file))
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

} // namespace kivra
