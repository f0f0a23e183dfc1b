#pragma once

#include <QString>

namespace kivra {

struct INFO;

// Where and how a form keeps its values, read from the window record's options
// (inifileName, inigroupname, inisummapname, iniseparatekeys, iniusemulticonf, iniautosave).
struct IniFormOptions
{
    static IniFormOptions fromWindow(const INFO &windowRecord);

    // An empty file or group name switches the store off.
    bool isOn() const { return !file.isEmpty() && !group.isEmpty(); }
    // Named configurations only exist in the summary layout.
    bool usesConfigurations() const { return multiConf && !separateKeys; }

    QString file;
    QString group;
    // Trimmed; "vmap" when the option is empty or absent.
    QString summaryName;
    bool separateKeys = false;
    bool multiConf = false;
    bool autoSave = true;
};

} // namespace kivra
