#include "IniConfigurations.h"

#include "WriteIniFile.h"

#include <QSettings>

namespace kivra {

namespace {

const QString &currentNameKey()
{
    static const QString key = QStringLiteral("default_conf/name");
    return key;
}

} // namespace

bool listIniConfigurations(const QString &file, const QString &group, QStringList *names,
                           QString *currentName, bool dropUnknown)
{
    QStringList stored;
    QString current;
    bool readable = false;
    if (!file.isEmpty()) {
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

} // namespace kivra
