#pragma once

#include "Format.h"
#include "ThemeColors.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

#include <array>

class QXmlStreamReader;

namespace QXlsx {

class FormatPool;

// Reads the style sheet (xl/styles.xml) into one format per cell style index: number formats
// (custom and built-in ids), fonts, solid fills, borders and alignment, with rgb, indexed and
// theme colours (a theme colour as the colour it shows in the workbook's theme).
class StylesReader
{
public:
    StylesReader(FormatPool *pool, const ThemeColors &theme);

    bool read(QXmlStreamReader &xml);

    // The format of each cell style index, shared through the pool.
    QList<Format> cellFormats() const;
    // The font of cells with style font 0, as font data only.
    Format defaultFont() const;

private:
    struct ColorRef
    {
        QColor rgb;
        int indexed = -1;
        int theme = -1;
        double tint = 0;
    };
    struct BorderRecord
    {
        std::array<Format::BorderStyle, Format::BorderSideCount> styles {};
        std::array<ColorRef, Format::BorderSideCount> colors;
        Format::DiagonalBorderType diagonal = Format::DiagonalBorderNone;
    };
    struct FontRecord
    {
        QString name;
        double size = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        ColorRef color;
    };
    struct FillRecord
    {
        bool solid = false;
        ColorRef color;
    };
    struct XfRecord
    {
        int numberFormatId = 0;
        int fontId = 0;
        int fillId = 0;
        int borderId = 0;
        Format alignment; // alignment properties only; invalid when all are the defaults
    };

    void readNumberFormats(QXmlStreamReader &xml);
    void readFonts(QXmlStreamReader &xml);
    void readFills(QXmlStreamReader &xml);
    void readBorders(QXmlStreamReader &xml);
    void readCellXfs(QXmlStreamReader &xml);
    void readColors(QXmlStreamReader &xml);
    static ColorRef readColor(QXmlStreamReader &xml);
    QColor resolve(const ColorRef &color) const;
    void applyFont(Format &format, const FontRecord &font) const;
    void applyBorder(Format &format, const BorderRecord &border) const;

    FormatPool *m_pool;
    const ThemeColors &m_theme;
    QHash<int, QString> m_numberFormats;
    QList<FontRecord> m_fonts;
    QList<FillRecord> m_fills;
    QList<BorderRecord> m_borders;
    QList<XfRecord> m_xfs;
    QList<QColor> m_palette;
};

} // namespace QXlsx
