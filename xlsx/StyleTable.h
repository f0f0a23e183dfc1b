#pragma once

#include "Format.h"
#include "IndexedSet.h"

class QXmlStreamWriter;

namespace QXlsx {

// The cell styles of a workbook being saved. Every distinct format the cells use gets one
// style index; fonts, fills and number formats are shared between styles, and built-in number
// formats keep their built-in ids.
class StyleTable
{
public:
    // defaultFont: the font of style 0 and of every format without font data.
    explicit StyleTable(const Format &defaultFont);

    // The style index of a format; 0 for an invalid format.
    int styleIndex(const Format &format);

    // Writes xl/styles.xml.
    void write(QXmlStreamWriter &xml) const;

private:
    Format m_defaultFont;
    IndexedSet<Format> m_formats; // style index - 1
};

} // namespace QXlsx
