#pragma once

#include <QString>

namespace kivra {

// Whether writing to an existing INI file through QSettings could lose what it holds now.
// QSettings rewrites the whole file from what it could parse, so a file that cannot be read,
// that it reads with an error, that it would not write back byte for byte (a foreign or
// damaged file, a stored map that no longer decodes) or whose entry replacedMapKey (a key
// path such as "main/vmap"; empty for none) holds something other than a map would lose
// data. A missing or empty file loses nothing.
bool rewriteWouldLoseData(const QString &file, const QString &replacedMapKey);

} // namespace kivra
