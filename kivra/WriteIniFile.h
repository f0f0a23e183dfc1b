#pragma once

#include <QString>

#include <functional>

class QSettings;

namespace kivra {

// One write of an INI file that never loses what the file held: a file that the rewrite
// would damage (see rewriteWouldLoseData) is first copied to "<file>.bak" (or the next free
// "<file>.<n>.bak"), and nothing is written when that copy fails. QSettings replaces the file
// atomically, so a failed write leaves the old file as it was. The file and its copy are
// left readable by their owner only, since they may hold the pseudonymisation key.
// write makes the changes; replacedMapKey names the key path whose stored map they replace
// wholesale (empty for none). False when nothing was written or QSettings reported an error.
bool writeIniFile(const QString &file, const std::function<void(QSettings &)> &write,
                  const QString &replacedMapKey = {});

} // namespace kivra
