#include "ConfigurationFile.h"

#include <kivra/IniStore.h>
#include <run/SettingTable.h>

namespace {

const QString group = QStringLiteral("config_data");
const QString keyOption = QStringLiteral("pseudo_key");

} // namespace

const QString ConfigurationFile::connectedFieldsKey = QStringLiteral("CONNECTED_FIELDS:");
const QString ConfigurationFile::clearedFieldsKey = QStringLiteral("CLEARED_FIELDS:");

const QStringList &ConfigurationFile::settingKeys()
{
    static const QStringList keys = SettingTable::keys();
    return keys;
}

QVariantMap ConfigurationFile::contents(QVariantMap optionMap, const QVariantMap &templates,
                                        const QVariantList &clearedColumns)
{
    optionMap.remove(keyOption);
    optionMap.insert(connectedFieldsKey, templates);
    optionMap.insert(clearedFieldsKey, clearedColumns);
    return optionMap;
}

bool ConfigurationFile::save(const QString &path, const QVariantMap &contents)
{
    QVariantMap stored = contents;
    stored.remove(keyOption);
    return kivra::saveValuesToIni(&stored, path, group, false, nullptr, QString());
}

QVariantMap ConfigurationFile::load(const QString &path)
{
    QVariantMap loaded;
    if (!kivra::readIniValues(&loaded, path, group, false, QString()))
        return {};
    // A file written by hand could hold a key; the window's own stays in use.
    loaded.remove(keyOption);
    return loaded;
}
