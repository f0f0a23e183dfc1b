#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Where the options file lives: beside the program (portable mode) when the
// program's folder may be written to and is no system program folder,
// otherwise in the user's configuration folder.

// What the choice depends on; the real values come from settingsDirectory().
struct SettingsDirectoryInputs
{
    // The program's folder.
    QString appDir;
    // The system's program folders; an empty entry never matches.
    QStringList systemProgramFolders;
    bool appDirWritable = false;
    // The marker file ".portable" exists in appDir.
    bool markerExists = false;
    // Creates the marker or empties it; false when it cannot be opened for writing.
    std::function<bool()> openMarker;
    // The per-user configuration locations, most important first; may be empty.
    QStringList userConfigLocations;
    QString homeDir;
};

struct SettingsDirectoryChoice
{
    QString path;
    bool portable = false;
};

// The file whose presence asks for portable mode.
inline constexpr char portableMarkerName[] = ".portable";

// Decides without touching the file system except through inputs.openMarker.
SettingsDirectoryChoice chooseSettingsDirectory(const SettingsDirectoryInputs &inputs);

// True when dir is folder or lies below it. Separators and "." or ".." parts
// are normalised; an empty folder contains nothing.
bool liesInside(const QString &dir, const QString &folder);

// The settings directory of this program on this machine. The per-user
// directory is created when missing.
QString settingsDirectory();
