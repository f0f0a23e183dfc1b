#include "ScanWorksheetCells.h"

#include "Cell.h"
#include "Worksheet.h"

namespace {

bool isUsed(const QXlsx::Cell &cell, bool countFormulas)
{
    if (countFormulas && !cell.formula().formulaText().isEmpty())
        return true;
    const QVariant value = cell.value();
    if (!value.isValid())
        return false;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return !value.toString().trimmed().isEmpty();
    case QMetaType::QByteArray:
        return !value.toByteArray().trimmed().isEmpty();
    default:
        return true;
    }
}

} // namespace

int scanWorksheetCells(const QXlsx::Worksheet *worksheet, bool countFormulas)
{
    if (!worksheet || !worksheet->dimension().isValid())
        return 0;
    // Only stored cells can be used; visiting them costs nothing for the empty expanse of a
    // sheet whose dimension reaches far out.
    int lastRow = 0;
    worksheet->cells().forEachCell([&](int row, int, const QXlsx::Cell &cell) {
        if (row > lastRow && isUsed(cell, countFormulas))
            lastRow = row;
    });
    return lastRow;
}
