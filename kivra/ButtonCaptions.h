#pragma once

#include <QMap>
#include <QString>

namespace kivra {

// Default captions of the buttons the builder makes, by sub-kind; a code without an entry
// has no caption. Translated once, on first use: call it after the translator is installed.
QMap<int, QString> buttonCaptions();

} // namespace kivra
