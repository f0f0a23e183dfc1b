#include "StylesReader.h"

#include "AlignmentXml.h"
#include "BorderStyleNames.h"
#include "FormatPool.h"
#include "NumberFormats.h"
#include "XmlReading.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <iterator>

namespace QXlsx {

namespace {

// The file format's default palette for indexed colours; 64 and 65 are the system's window
// text and window colours.
constexpr QRgb defaultPalette[] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, // 0-7
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, // 8-15
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, // 16-23
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, // 24-31
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, // 32-39
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, // 40-47
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, // 48-55
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, // 56-63
    0x000000, 0xFFFFFF, // 64-65
};

// The val attribute of a flag element such as <b/> or <b val="0"/>.
bool flagValue(QStringView value)
{
    return value.isEmpty() || parseXmlBool(value);
}

int indexAttribute(const QXmlStreamReader &xml, QLatin1String name)
{
    return parseXmlIndex(xml.attributes().value(name));
}

} // namespace

StylesReader::StylesReader(FormatPool *pool, const ThemeColors &theme)
    : m_pool(pool)
    , m_theme(theme)
{
    for (const QRgb rgb : defaultPalette)
        m_palette.append(QColor::fromRgb(rgb));
}

bool StylesReader::read(QXmlStreamReader &xml)
{
    if (!xml.readNextStartElement())
        return !xml.hasError();
    while (xml.readNextStartElement()) {
        if (xml.name() == u"numFmts")
            readNumberFormats(xml);
        else if (xml.name() == u"fonts")
            readFonts(xml);
        else if (xml.name() == u"fills")
            readFills(xml);
        else if (xml.name() == u"borders")
            readBorders(xml);
        else if (xml.name() == u"cellXfs")
            readCellXfs(xml);
        else if (xml.name() == u"colors")
            readColors(xml);
        else
            xml.skipCurrentElement();
    }
    return !xml.hasError();
}

void StylesReader::readNumberFormats(QXmlStreamReader &xml)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == u"numFmt") {
            const QXmlStreamAttributes attributes = xml.attributes();
            const int id = parseXmlIndex(attributes.value(QLatin1String("numFmtId")));
            if (id >= 0)
                m_numberFormats.insert(id,
                                       attributes.value(QLatin1String("formatCode")).toString());
        }
        xml.skipCurrentElement();
    }
}

void StylesReader::readFonts(QXmlStreamReader &xml)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != u"font") {
            xml.skipCurrentElement();
            continue;
        }
        FontRecord font;
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            const QXmlStreamAttributes attributes = xml.attributes();
            const QStringView value = attributes.value(QLatin1String("val"));
            if (name == u"b")
                font.bold = flagValue(value);
            else if (name == u"i")
                font.italic = flagValue(value);
            else if (name == u"strike")
                font.strikeOut = flagValue(value);
            else if (name == u"u")
                font.underline = value != u"none";
            else if (name == u"sz")
                font.size = parseXmlNumber(value).value_or(0);
            else if (name == u"name")
                font.name = value.toString();
            else if (name == u"color") {
                font.color = readColor(xml);
                continue; // readColor consumed the element
            }
            xml.skipCurrentElement();
        }
        m_fonts.append(font);
    }
}

void StylesReader::readFills(QXmlStreamReader &xml)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != u"fill") {
            xml.skipCurrentElement();
            continue;
        }
        FillRecord fill;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"patternFill") {
                xml.skipCurrentElement(); // gradient fills are not kept
                continue;
            }
            fill.solid = xml.attributes().value(QLatin1String("patternType")) == u"solid";
            while (xml.readNextStartElement()) {
                if (xml.name() == u"fgColor")
                    fill.color = readColor(xml);
                else
                    xml.skipCurrentElement();
            }
        }
        m_fills.append(fill);
    }
}

void StylesReader::readBorders(QXmlStreamReader &xml)
{
    static constexpr std::pair<const char16_t *, Format::BorderSide> sides[] = {
        {u"left", Format::LeftBorder},        {u"start", Format::LeftBorder},
        {u"right", Format::RightBorder},      {u"end", Format::RightBorder},
        {u"top", Format::TopBorder},          {u"bottom", Format::BottomBorder},
        {u"diagonal", Format::DiagonalBorder}};
    while (xml.readNextStartElement()) {
        if (xml.name() != u"border") {
            xml.skipCurrentElement();
            continue;
        }
        BorderRecord border;
        const QXmlStreamAttributes attributes = xml.attributes();
        const bool up = parseXmlBool(attributes.value(QLatin1String("diagonalUp")));
        const bool down = parseXmlBool(attributes.value(QLatin1String("diagonalDown")));
        border.diagonal = up && down ? Format::DiagonalBorderBoth
            : up                     ? Format::DiagonalBorderUp
            : down                   ? Format::DiagonalBorderDown
                                     : Format::DiagonalBorderNone;
        while (xml.readNextStartElement()) {
            const auto side = std::find_if(std::begin(sides), std::end(sides), [&](const auto &s) {
                return xml.name() == QStringView(s.first);
            });
            if (side == std::end(sides)) {
                xml.skipCurrentElement();
                continue;
            }
            border.styles[side->second] =
                borderStyleFromName(xml.attributes().value(QLatin1String("style")));
            while (xml.readNextStartElement()) {
                if (xml.name() == u"color")
                    border.colors[side->second] = readColor(xml);
                else
                    xml.skipCurrentElement();
            }
        }
        m_borders.append(border);
    }
}

void StylesReader::readCellXfs(QXmlStreamReader &xml)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != u"xf") {
            xml.skipCurrentElement();
            continue;
        }
        XfRecord xf;
        xf.numberFormatId = qMax(0, indexAttribute(xml, QLatin1String("numFmtId")));
        xf.fontId = qMax(0, indexAttribute(xml, QLatin1String("fontId")));
        xf.fillId = qMax(0, indexAttribute(xml, QLatin1String("fillId")));
        xf.borderId = qMax(0, indexAttribute(xml, QLatin1String("borderId")));
        while (xml.readNextStartElement()) {
            if (xml.name() == u"alignment")
                readAlignment(xml.attributes(), &xf.alignment);
            xml.skipCurrentElement();
        }
        m_xfs.append(xf);
    }
}

void StylesReader::readColors(QXmlStreamReader &xml)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != u"indexedColors") {
            xml.skipCurrentElement();
            continue;
        }
        int index = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"rgbColor" && index < m_palette.size()) {
                const QColor color = parseArgbColor(xml.attributes().value(QLatin1String("rgb")));
                if (color.isValid())
                    m_palette[index] = color;
                ++index;
            }
            xml.skipCurrentElement();
        }
    }
}

StylesReader::ColorRef StylesReader::readColor(QXmlStreamReader &xml)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    ColorRef color;
    color.rgb = parseArgbColor(attributes.value(QLatin1String("rgb")));
    color.indexed = parseXmlIndex(attributes.value(QLatin1String("indexed")));
    color.theme = parseXmlIndex(attributes.value(QLatin1String("theme")));
    color.tint = parseXmlNumber(attributes.value(QLatin1String("tint"))).value_or(0);
    xml.skipCurrentElement();
    return color;
}

QColor StylesReader::resolve(const ColorRef &color) const
{
    if (color.rgb.isValid())
        return applyTint(color.rgb, color.tint);
    if (color.theme >= 0)
        return m_theme.color(color.theme, color.tint);
    return color.indexed >= 0 && color.indexed < m_palette.size()
        ? applyTint(m_palette[color.indexed], color.tint)
        : QColor();
}

void StylesReader::applyBorder(Format &format, const BorderRecord &border) const
{
    for (int side = 0; side < Format::BorderSideCount; ++side) {
        const auto borderSide = Format::BorderSide(side);
        if (border.styles[side] == Format::BorderNone)
            continue;
        format.setBorderStyle(borderSide, border.styles[side]);
        const QColor color = resolve(border.colors[side]);
        if (color.isValid())
            format.setBorderColor(borderSide, color);
    }
    if (border.diagonal != Format::DiagonalBorderNone &&
        border.styles[Format::DiagonalBorder] != Format::BorderNone)
        format.setDiagonalBorderType(border.diagonal);
}

void StylesReader::applyFont(Format &format, const FontRecord &font) const
{
    if (!font.name.isEmpty())
        format.setFontName(font.name);
    if (font.size > 0)
        format.setFontSize(font.size);
    format.setFontBold(font.bold);
    format.setFontItalic(font.italic);
    format.setFontUnderline(font.underline);
    format.setFontStrikeOut(font.strikeOut);
    const QColor color = resolve(font.color);
    if (color.isValid())
        format.setFontColor(color);
}

QList<Format> StylesReader::cellFormats() const
{
    QList<Format> formats;
    formats.reserve(m_xfs.size());
    for (const XfRecord &xf : m_xfs) {
        Format format = xf.alignment;
        if (xf.numberFormatId != 0) {
            const QString code =
                m_numberFormats.value(xf.numberFormatId, builtInNumberFormat(xf.numberFormatId));
            // Some programs store General as a format of their own; it is still no format.
            if (!code.isEmpty() && code.compare(u"General", Qt::CaseInsensitive) != 0)
                format.setNumberFormat(code);
        }
        // Font 0 is the workbook's default font; cells using it carry no font of their own.
        if (xf.fontId > 0 && xf.fontId < m_fonts.size())
            applyFont(format, m_fonts[xf.fontId]);
        if (xf.fillId < m_fills.size() && m_fills[xf.fillId].solid) {
            const QColor color = resolve(m_fills[xf.fillId].color);
            if (color.isValid())
                format.setPatternBackgroundColor(color);
        }
        if (xf.borderId < m_borders.size())
            applyBorder(format, m_borders[xf.borderId]);
        formats.append(m_pool->intern(format));
    }
    return formats;
}

Format StylesReader::defaultFont() const
{
    Format font;
    if (!m_fonts.isEmpty())
        applyFont(font, m_fonts.first());
    return font;
}

} // namespace QXlsx
