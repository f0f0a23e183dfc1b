#include "RowAddressing.h"

#include <QtGlobal>

RowAddressing RowAddressing::forCsv(bool hasTitle, int rowOffset)
{
    const int line = qMax(1, rowOffset);
    return hasTitle ? RowAddressing {line - 1, line} : RowAddressing {-1, line - 1};
}

RowAddressing RowAddressing::forSheet(bool hasTitle, int rowOffset)
{
    const int line = qMax(1, rowOffset);
    return hasTitle ? RowAddressing {line, line + 1} : RowAddressing {-1, line};
}
