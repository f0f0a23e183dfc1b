#pragma once

#include <QVariant>

namespace kivra {

// Lenient integer conversions: a text is cut before its first "." and then converted
// ("12.9" gives 12, "-3.5" gives -3); any other type converts directly.
QVariant variantToIntString(const QVariant &value);
int variantToInt(const QVariant &value);
qlonglong variantToLongLong(const QVariant &value);
qulonglong variantToULongLong(const QVariant &value);

} // namespace kivra
