#include "SettingsDirectory.h"

#include "SpecialFolder.h"
#include "UiLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString normalised(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

} // namespace

bool liesInside(const QString &dir, const QString &folder)
{
    if (folder.trimmed().isEmpty() || dir.trimmed().isEmpty())
        return false;
    const QString inner = normalised(dir);
    QString outer = normalised(folder);
    if (inner == outer)
        return true;
    if (!outer.endsWith(QLatin1Char('/')))
        outer += QLatin1Char('/');
    return inner.startsWith(outer);
}

SettingsDirectoryChoice chooseSettingsDirectory(const SettingsDirectoryInputs &inputs)
{
    const bool candidate = inputs.appDirWritable || inputs.markerExists;
    const bool inSystemFolder =
        std::any_of(inputs.systemProgramFolders.cbegin(), inputs.systemProgramFolders.cend(),
                    [&inputs](const QString &folder) { return liesInside(inputs.appDir, folder); });
    if (candidate && !inSystemFolder && inputs.openMarker && inputs.openMarker())
        return {inputs.appDir, true};

    const QString userDir = inputs.userConfigLocations.isEmpty()
        ? inputs.homeDir + QStringLiteral("/.config")
        : inputs.userConfigLocations.constFirst();
    return {userDir, false};
}

QString settingsDirectory()
{
    SettingsDirectoryInputs inputs;
    inputs.appDir = QCoreApplication::applicationDirPath();
    inputs.systemProgramFolders = {specialFolderPath(SpecialFolder::ProgramFiles),
                                   specialFolderPath(SpecialFolder::ProgramFilesX86)};
    inputs.appDirWritable = QFileInfo(inputs.appDir).isWritable();
    const QString marker = inputs.appDir + QLatin1Char('/') + QLatin1String(portableMarkerName);
    inputs.markerExists = QFileInfo::exists(marker);
    inputs.openMarker = [&marker] {
        QFile file(marker);
        return file.open(QIODevice::ReadWrite | QIODevice::Truncate);
    };
    inputs.userConfigLocations =
        QStandardPaths::standardLocations(QStandardPaths::AppConfigLocation);
    inputs.homeDir = QDir::homePath();

    const SettingsDirectoryChoice choice = chooseSettingsDirectory(inputs);
    qCDebug(lcUi) << (choice.portable ? "Portable mode" : "Per-user settings");
    // A directory that cannot be made shows later, when the options file is read or written.
    if (!choice.portable && !QDir().mkpath(choice.path))
        qCWarning(lcUi) << "Could not create the settings directory";
    return choice.path;
}
