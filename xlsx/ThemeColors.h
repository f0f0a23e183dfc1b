#pragma once

#include <QColor>
#include <QList>

class QXmlStreamReader;

namespace QXlsx {

// The colours of a workbook's theme (xl/theme/theme1.xml) in the order cell styles refer to
// them by theme="N": light 1, dark 1, light 2, dark 2, accent 1 to 6, hyperlink, followed
// hyperlink. Styles keep a theme colour as the colour it shows, so the copy, which has no
// theme of its own, and the table views look as the original does.
class ThemeColors
{
public:
    // The colours of the default theme of current spreadsheet programs.
    ThemeColors();

    // Takes the colour scheme from a theme part; colours it does not give keep their default.
    bool read(QXmlStreamReader &xml);

    // The colour of theme index n, lightened or darkened by tint (-1 to 1); invalid for an
    // unknown index.
    QColor color(int index, double tint = 0) const;

private:
    QList<QColor> m_colors;
};

// A colour lightened (tint > 0) or darkened (tint < 0) as spreadsheet styles do it, through
// its lightness.
QColor applyTint(const QColor &color, double tint);

} // namespace QXlsx
