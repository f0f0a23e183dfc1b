#pragma once

#include <QString>
#include <QStringList>

namespace kivra {

// Named configurations keep several value maps side by side in one group of an INI file, one
// key per configuration; the group "default_conf" remembers the current one under "name".

// The stored configuration names (the keys of group) and the current name; with dropUnknown
// a current name that no stored name matches (case-insensitively) reads as empty. Either
// output may be null. False when QSettings cannot read the file; a missing file has no
// configurations.
bool listIniConfigurations(const QString &file, const QString &group, QStringList *names,
                           QString *currentName, bool dropUnknown);

// Remembers name as the current configuration. False when the file could not be written.
bool setCurrentIniConfiguration(const QString &file, const QString &name);

} // namespace kivra
