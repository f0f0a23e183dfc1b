#pragma once

#include "CellRange.h"

#include <vector>

namespace QXlsx {

// For each range, whether it shares no cell with any other range of the list. In a sound sheet
// the ranges of array formulas never overlap; where they do, no range says which formula a
// shared cell belongs to. Costs a logarithm per range however the ranges lie.
std::vector<bool> overlapFree(const std::vector<CellRange> &ranges);

} // namespace QXlsx
