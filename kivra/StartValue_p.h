#pragma once

#include <kivra/Records.h>

#include <QVariant>

namespace kivra {

struct FormBuild;

// The value a field's widget starts from, with the value map brought in line: a kept field
// whose name the map holds starts from the map's value (a bound variable receives it, a list
// field restores its selection), every other named field puts its own value into the map.
// Names field when it is unnamed but bound to a caller's list or variable (an automatic name)
// or an action with a "menuid".
QVariant takeStartValue(FormBuild &build, INFO &field);

} // namespace kivra
