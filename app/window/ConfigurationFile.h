#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// A configuration file ("*.vondrel.conf"): the main window's choices (its value map, the field
// type per column and the cleared columns) as one map under the group "config_data", key
// "vmap". The pseudonymisation key is never part of it, neither written nor read.
class ConfigurationFile
{
public:
    // The field type template per column id.
    static const QString connectedFieldsKey;
    // The ids of the cleared columns; written for the reader's sake, the loader applies the
    // form's own entry "empty_data_fields".
    static const QString clearedFieldsKey;

    // The 18 run settings a loaded configuration sets, in the order they are applied.
    static const QStringList &settingKeys();

    // The map to store for the form's value map, the templates and the cleared column ids.
    static QVariantMap contents(QVariantMap optionMap, const QVariantMap &templates,
                                const QVariantList &clearedColumns);
    // Writes contents into path; false when the file could not be written whole (it then
    // keeps its old content).
    static bool save(const QString &path, const QVariantMap &contents);
    // The stored map; empty when path holds no configuration or cannot be read.
    static QVariantMap load(const QString &path);
};
