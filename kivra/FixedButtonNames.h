#pragma once

#include <QString>

namespace kivra {

// Object name of the fixed button of a sub-kind (OK, cancel, close, help): a stem and
// one suffix shared by all four; empty for any other code. Unnamed fixed buttons are
// registered in the value map under this name.
QString fixedButtonName(int subKind);

} // namespace kivra
