#pragma once

#include <QString>

namespace QXlsx {

class Cell;

// The text a date or time cell shows: its date, date-time or time of day formatted through the
// cell's own number format, with the default locale's month and day names. Any other cell, a
// cell without a number format and a number outside the calendar give the stored value as text;
// no cell gives "". Built-in format 14 (and 22 with its time) stands for the user's short date,
// as spreadsheet programs show it, not for the US pattern it is stored as.
QString cellDisplayText(const Cell *cell);

} // namespace QXlsx
