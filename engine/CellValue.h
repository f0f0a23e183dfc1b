#pragma once

#include "DateConversion.h"
#include "DateTextSettings.h"

#include <QDateTime>
#include <QVariant>

// The date-time a workbook cell stands for, for the date types 21 to 24: the cell's stored value
// read by convertCellValue, with the cell's own date format taking part. Without a cell at
// (row, column) the document's value there is read (invalid when there is none).
//
// Written against the spreadsheet document's interface (cellAt, read, Cell::value, isDateTime,
// dateTime) rather than its types, so the engine library itself stays free of the spreadsheet
// layer and its GUI dependencies; callers include the layer's Document and Cell headers.
template<typename SpreadsheetDocument>
QDateTime cellValue(const vondrel::DateTextSettings &owner, const SpreadsheetDocument &document,
                    int row, int column, int fieldType, bool use1904)
{
    const auto *cell = document.cellAt(row, column);
    if (!cell)
        return convertCellValue(owner, document.read(row, column), QVariant(), fieldType, use1904);
    return convertCellValue(owner, cell->value(),
                            cell->isDateTime() ? cell->dateTime() : QVariant(), fieldType, use1904);
}
