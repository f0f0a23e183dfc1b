#pragma once

namespace QXlsx {
class Worksheet;
}

// The last row of the sheet that holds a used cell: a value other than blank text, or, when
// countFormulas is set, a formula. 0 for no sheet, an empty sheet or no used cell.
int scanWorksheetCells(const QXlsx::Worksheet *worksheet, bool countFormulas);
