#pragma once

#include <kivra/Records.h>

#include <QLatin1String>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

// The INI store: a value map written into and read back from one group of an INI file,
// named configurations kept side by side, and a form's part of it: restoring its values
// when it is built and saving them when it closes.
namespace kivra {

// The summary key's name when none is given.
inline constexpr QLatin1String kDefaultSummaryName {"vmap"};

// Writes a value map into group of an INI file: with separateKeys one key per entry, otherwise
// the whole map under the summary key summaryName ("vmap" when empty), replacing what that key
// held. Entries are stored as plainValue gives them; the framework's own entries, entries the
// keyFilter (when given) does not hold and values that cannot be stored (logged, never
// written, so the rest stays readable) are left out. With separateKeys, keys not written stay
// in the file; the summary key is replaced whole, so a filtered save keeps only the kept names.
// False for a null map or when the file could not be written whole; it then keeps its old
// content.
bool saveValuesToIni(const QMap<QString, QVariant> *values, const QString &file,
                     const QString &group, bool separateKeys, const QSet<QString> *keyFilter,
                     const QString &summaryName);

// Reads group of an INI file into values: with separateKeys every key but the summary key is
// inserted under its own name; otherwise a summary key holding a map replaces the whole of
// values, and any other summary value leaves values unchanged. The framework's own entries
// are never read. False for a null map, an empty file name, a missing file, a file QSettings
// cannot read, or one holding a stored value that is damaged or of a kind the store does not
// write (nothing of such a file is read): values is then unchanged.
bool readIniValues(QMap<QString, QVariant> *values, const QString &file, const QString &group,
                   bool separateKeys, const QString &summaryName);

// Named configurations keep several value maps side by side in one group of an INI file, one
// key per configuration; the group "default_conf" remembers the current one under "name".

// The stored configuration names (the keys of group) and the current name; with dropUnknown
// a current name that no stored name matches (case-insensitively) reads as empty. Either
// output may be null. False when the file cannot be read or holds a damaged stored value (no
// names then); a missing file has no configurations.
bool listIniConfigurations(const QString &file, const QString &group, QStringList *names,
                           QString *currentName, bool dropUnknown);

// Remembers name as the current configuration. False when the file could not be written.
bool setCurrentIniConfiguration(const QString &file, const QString &name);

// The form's start-up from its window record, run once before the fields are made: with
// applyWindowOptions the window takes its title and size options; then, when the window's
// INI file exists, the values stored there are read into values (for named configurations
// those of the current one, which is remembered when none was). Nothing is written when the
// file does not exist yet.
void initFormFromOptions(const QPointer<QWidget> &window, const INFO &windowRecord,
                         QMap<QString, QVariant> *values, bool applyWindowOptions);

// The options file's part of closing a form: removes the framework's own entries from the
// value map and, for an accepted close, saves the values into the window's INI file (into the
// current named configuration when the form keeps several), after asking when iniautosave is
// off. While closeSave's filter is on only its kept names are saved; a null closeSave saves
// every entry.
void saveIniOnClose(QWidget *window, const INFO &windowRecord, QMap<QString, QVariant> *values,
                    const CloseSaveInfo *closeSave, bool accepted);

} // namespace kivra
