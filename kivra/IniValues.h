#pragma once

#include <QLatin1String>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>

namespace kivra {

// The summary key's name when none is given.
inline constexpr QLatin1String kDefaultSummaryName {"vmap"};

// Writes a value map into group of an INI file: with separateKeys one key per entry, otherwise
// the whole map under the summary key summaryName ("vmap" when empty), replacing what that key
// held. Entries are stored as plainValue gives them; the framework's own entries, entries the
// keyFilter (when given) does not hold and values that cannot be stored (logged, never
// written, so the rest stays readable) are left out. With separateKeys, keys not written stay
// in the file; the summary key is replaced whole, so a filtered save keeps only the kept names.
// False for a null map or when the file could not be written.
bool saveValuesToIni(const QMap<QString, QVariant> *values, const QString &file,
                     const QString &group, bool separateKeys, const QSet<QString> *keyFilter,
                     const QString &summaryName);

// Reads group of an INI file into values: with separateKeys every key but the summary key is
// inserted under its own name; otherwise a summary key holding a map replaces the whole of
// values, and any other summary value leaves values unchanged. The framework's own entries
// are never read. False for a null map, an empty file name, a missing file or a file QSettings
// cannot read: values is then unchanged.
bool readIniValues(QMap<QString, QVariant> *values, const QString &file, const QString &group,
                   bool separateKeys, const QString &summaryName);

} // namespace kivra
