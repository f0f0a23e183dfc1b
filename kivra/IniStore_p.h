#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

class QSettings;

namespace kivra {

struct INFO;

// Where and how a form keeps its values, read from the window record's options
// (inifileName, inigroupname, inisummapname, iniseparatekeys, iniusemulticonf, iniautosave).
struct IniFormOptions
{
    static IniFormOptions fromWindow(const INFO &windowRecord);
    static IniFormOptions fromOptions(const QVariantMap &options);

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

// One write of an INI file that never loses what the file held. It waits a few seconds at
// most for another writer's lock. A file that the rewrite would damage (see
// rewriteWouldLoseData) is first copied to "<file>.bak" (or the next free "<file>.<n>.bak"),
// and nothing is written when that copy fails; content that QSettings may not parse (see
// isSafeToParse) stays in that copy only, and the changes start from an empty file. QSettings
// makes the changes on a scratch copy; its output is taken only when it is safe to parse and
// reads back whole, and it replaces the file through a save file committed only when every
// byte was written. The file is read back at the end and gets its old content back when it
// does not hold what was meant. The file and its copy are left readable by their owner only,
// since they may hold the pseudonymisation key. write makes the changes; replacedMapKey names
// the key path whose stored map they replace wholesale (empty for none). False, with the file
// as it was, when the new content could not be written whole.
bool writeIniFile(const QString &file, const std::function<void(QSettings &)> &write,
                  const QString &replacedMapKey = {});

// Whether writing to an existing INI file through QSettings could lose what it holds now.
// QSettings rewrites the whole file from what it could parse, so a file that cannot be read,
// that it may not parse (isSafeToParse), that it reads with an error, that it would not write
// back byte for byte (a foreign or damaged file, a stored map that no longer decodes) or whose
// entry replacedMapKey (a key path such as "main/vmap"; empty for none) holds something other
// than a map would lose data. A missing or empty file loses nothing. checked is false when the
// check itself could not be made (no room for its scratch file).
bool rewriteWouldLoseData(const QString &file, const QString &replacedMapKey, bool *checked);

// Whether QSettings may parse INI content: every value text in it that QSettings decodes with
// QDataStream passes isBoundedValueText. Content that does not is damaged or hostile; it is
// never given to QSettings.
bool isSafeToParse(QByteArrayView content);

// The whole content of a file; false when it cannot be read.
bool readWholeFile(const QString &path, QByteArray *bytes);

} // namespace kivra
