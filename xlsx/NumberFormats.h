#pragma once

#include <QString>
#include <QStringView>

namespace QXlsx {

// Custom number formats are numbered from here; lower ids are the file format's built-in ones.
inline constexpr int FirstCustomNumberFormatId = 164;

// The code of a built-in number format id ("General" for 0, "0.00" for 2, "mm-dd-yy" for 14);
// empty for an id without a fixed code.
QString builtInNumberFormat(int id);

// The built-in id of a code, or -1 when the code is not one of them.
int builtInNumberFormatId(QStringView code);

// Whether values shown with this code are dates or times: the first section contains a date or
// time letter (d, m, y, h, s) outside quoted text, escaped characters and [...] brackets; the
// elapsed-time brackets [h], [mm], [ss] count as time. So "[$-407]dd.mm.yyyy;@" is a date code
// and "#,##0 [Red]" is not.
bool isDateTimeNumberFormat(QStringView code);

} // namespace QXlsx
