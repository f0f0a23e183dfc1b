#pragma once

#include <QVariant>

namespace kivra {

// Whether QSettings can write the value so that it reads back: invalid values and types with
// stream operators can; pointers, shared pointers and other types without stream operators
// cannot, also inside lists and maps. One such value makes a whole stored map unreadable.
bool isStorableValue(const QVariant &value);

} // namespace kivra
