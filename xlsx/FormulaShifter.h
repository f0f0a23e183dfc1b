#pragma once

#include <QString>
#include <QStringView>

namespace QXlsx {

// Moves the relative cell references of a formula by the given offsets, as a formula copied
// from one cell to another changes: "A1*2" moved one row down reads "A2*2", while "$A$1" stays.
// String literals, quoted sheet names, structured references and function names are left
// alone. A reference moved off the sheet becomes "#REF!". Used to give every cell of a shared
// formula its own text.
QString shiftFormula(QStringView formula, int rowOffset, int columnOffset);

} // namespace QXlsx
