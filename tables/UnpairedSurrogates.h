#pragma once

#include <QChar>

namespace vondrel {

// An unpaired surrogate is a broken character as much as a bad UTF-8 sequence is; left in, it
// makes text that no encoder can write. Replaces each between pos and end with U+FFFD and
// returns how many there were.
qsizetype replaceUnpairedSurrogates(QChar *pos, QChar *end);

} // namespace vondrel
