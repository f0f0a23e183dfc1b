#include "RowAddressing.h"

#include <QtGlobal>

#include <limits>

namespace {

// The line where the table begins, bounded so that the row after it is still an int: no
// table or sheet has that many rows, and the largest start row must not wrap round to the
// top of the table.
int firstLine(int rowOffset)
{
    return qBound(1, rowOffset, std::numeric_limits<int>::max() - 1);
}

} // namespace

RowAddressing RowAddressing::forCsv(bool hasTitle, int rowOffset)
{
    const int line = firstLine(rowOffset);
    return hasTitle ? RowAddressing {line - 1, line} : RowAddressing {-1, line - 1};
}

RowAddressing RowAddressing::forSheet(bool hasTitle, int rowOffset)
{
    const int line = firstLine(rowOffset);
    return hasTitle ? RowAddressing {line, line + 1} : RowAddressing {-1, line};
}
