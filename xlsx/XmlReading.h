#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

#include <optional>

class QXmlStreamReader;

namespace QXlsx {

// Small readers shared by the parsers of the package parts.

// "1" and "true" are true; the file format writes booleans either way.
bool parseXmlBool(QStringView text);

// An xsd:double such as "1.5E-3"; empty for anything else, including infinities and NaN.
std::optional<double> parseXmlNumber(QStringView text);

// A non-negative index; -1 for anything else.
int parseXmlIndex(QStringView text);

// An "AARRGGBB" or "RRGGBB" colour; alpha is ignored, as spreadsheet programs do. Invalid for
// anything else.
QColor parseArgbColor(QStringView text);

// The plain text of a string item (<si> or <is>), positioned on its start element: the <t>
// elements directly inside and those of rich-text runs, joined; phonetic runs are skipped and
// "_xHHHH_" escapes decoded. Returns with the reader on the item's end element.
QString readRichText(QXmlStreamReader &xml);

} // namespace QXlsx
