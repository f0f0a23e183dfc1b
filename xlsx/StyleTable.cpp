#include "StyleTable.h"

#include "AlignmentXml.h"
#include "BorderStyleNames.h"
#include "NumberFormats.h"
#include "XlsxNamespaces.h"

#include <QXmlStreamWriter>

namespace QXlsx {

namespace {

// Fills 0 and 1 are reserved by the file format (none and gray125).
constexpr int FirstOwnFill = 2;

// The font properties of a format; a missing name or size comes from the default font, since
// spreadsheet programs do not agree on what a font without them looks like.
Format fontOf(const Format &format, const Format &defaultFont)
{
    Format font;
    if (!format.hasFontData())
        return font;
    font.setFontName(format.fontName().isEmpty() ? defaultFont.fontName() : format.fontName());
    font.setFontSize(format.fontSize() > 0 ? format.fontSize() : defaultFont.fontSize());
    font.setFontBold(format.fontBold());
    font.setFontItalic(format.fontItalic());
    font.setFontUnderline(format.fontUnderline());
    font.setFontStrikeOut(format.fontStrikeOut());
    if (format.fontColor().isValid())
        font.setFontColor(format.fontColor());
    return font;
}

QString argb(const QColor &color)
{
    return QStringLiteral("FF%1").arg(color.rgb() & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

void writeValueElement(QXmlStreamWriter &xml, const QString &name, const QString &value)
{
    xml.writeEmptyElement(name);
    xml.writeAttribute(QStringLiteral("val"), value);
}

void writeFont(QXmlStreamWriter &xml, const Format &font)
{
    xml.writeStartElement(QStringLiteral("font"));
    if (font.fontBold())
        xml.writeEmptyElement(QStringLiteral("b"));
    if (font.fontItalic())
        xml.writeEmptyElement(QStringLiteral("i"));
    if (font.fontStrikeOut())
        xml.writeEmptyElement(QStringLiteral("strike"));
    if (font.fontUnderline())
        xml.writeEmptyElement(QStringLiteral("u"));
    if (font.fontSize() > 0)
        writeValueElement(xml, QStringLiteral("sz"), QString::number(font.fontSize()));
    if (font.fontColor().isValid()) {
        xml.writeEmptyElement(QStringLiteral("color"));
        xml.writeAttribute(QStringLiteral("rgb"), argb(font.fontColor()));
    }
    if (!font.fontName().isEmpty())
        writeValueElement(xml, QStringLiteral("name"), font.fontName());
    xml.writeEndElement();
}

void writePatternFill(QXmlStreamWriter &xml, const QString &pattern, const QColor &color)
{
    xml.writeStartElement(QStringLiteral("fill"));
    xml.writeStartElement(QStringLiteral("patternFill"));
    xml.writeAttribute(QStringLiteral("patternType"), pattern);
    if (color.isValid()) {
        xml.writeEmptyElement(QStringLiteral("fgColor"));
        xml.writeAttribute(QStringLiteral("rgb"), argb(color));
        xml.writeEmptyElement(QStringLiteral("bgColor"));
        xml.writeAttribute(QStringLiteral("indexed"), QStringLiteral("64"));
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

// The border properties of a format alone; an invalid format for none.
Format borderOf(const Format &format)
{
    Format border;
    if (!format.hasBorderData())
        return border;
    for (int side = 0; side < Format::BorderSideCount; ++side) {
        const auto borderSide = Format::BorderSide(side);
        if (format.borderStyle(borderSide) == Format::BorderNone)
            continue;
        border.setBorderStyle(borderSide, format.borderStyle(borderSide));
        if (format.borderColor(borderSide).isValid())
            border.setBorderColor(borderSide, format.borderColor(borderSide));
    }
    if (format.diagonalBorderType() != Format::DiagonalBorderNone)
        border.setDiagonalBorderType(format.diagonalBorderType());
    return border;
}

void writeBorder(QXmlStreamWriter &xml, const Format &border)
{
    // The order of the sides is fixed by the file format.
    static constexpr std::pair<const char *, Format::BorderSide> sides[] = {
        {"left", Format::LeftBorder},
        {"right", Format::RightBorder},
        {"top", Format::TopBorder},
        {"bottom", Format::BottomBorder},
        {"diagonal", Format::DiagonalBorder}};
    xml.writeStartElement(QStringLiteral("border"));
    const Format::DiagonalBorderType diagonal = border.diagonalBorderType();
    if (diagonal == Format::DiagonalBorderUp || diagonal == Format::DiagonalBorderBoth)
        xml.writeAttribute(QStringLiteral("diagonalUp"), QStringLiteral("1"));
    if (diagonal == Format::DiagonalBorderDown || diagonal == Format::DiagonalBorderBoth)
        xml.writeAttribute(QStringLiteral("diagonalDown"), QStringLiteral("1"));
    for (const auto &[name, side] : sides) {
        const Format::BorderStyle style = border.borderStyle(side);
        if (style == Format::BorderNone) {
            xml.writeEmptyElement(QLatin1String(name));
            continue;
        }
        xml.writeStartElement(QLatin1String(name));
        xml.writeAttribute(QStringLiteral("style"), borderStyleName(style));
        if (border.borderColor(side).isValid()) {
            xml.writeEmptyElement(QStringLiteral("color"));
            xml.writeAttribute(QStringLiteral("rgb"), argb(border.borderColor(side)));
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeCount(QXmlStreamWriter &xml, qsizetype count)
{
    xml.writeAttribute(QStringLiteral("count"), QString::number(count));
}

// A style as the file records it: its format's parts by their index.
struct StyleRecord
{
    int numberFormatId = 0;
    int fontId = 0;
    int fillId = 0;
    int borderId = 0;
    Format format;
};

// The fonts, fills and number formats the styles share, and the styles that refer to them.
struct StyleParts
{
    IndexedSet<QString> customNumberFormats;
    IndexedSet<Format> fonts;
    IndexedSet<QRgb> fills;
    IndexedSet<Format> borders;
    QList<StyleRecord> records;
};

StyleParts collectParts(const QList<Format> &formats, const Format &defaultFont)
{
    StyleParts parts;
    parts.fonts.indexOf(defaultFont); // font 0
    parts.borders.indexOf(Format()); // border 0, none
    for (const Format &format : formats) {
        StyleRecord record;
        record.format = format;
        const QString code = format.numberFormat();
        if (!code.isEmpty()) {
            record.numberFormatId = builtInNumberFormatId(code);
            if (record.numberFormatId < 0)
                record.numberFormatId =
                    FirstCustomNumberFormatId + parts.customNumberFormats.indexOf(code);
        }
        if (format.hasFontData())
            record.fontId = parts.fonts.indexOf(fontOf(format, defaultFont));
        if (format.patternBackgroundColor().isValid())
            record.fillId =
                FirstOwnFill + parts.fills.indexOf(format.patternBackgroundColor().rgb());
        record.borderId = parts.borders.indexOf(borderOf(format));
        parts.records.append(record);
    }
    return parts;
}

void writeNumberFormats(QXmlStreamWriter &xml, const QList<QString> &codes)
{
    if (codes.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("numFmts"));
    writeCount(xml, codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        xml.writeEmptyElement(QStringLiteral("numFmt"));
        xml.writeAttribute(QStringLiteral("numFmtId"),
                           QString::number(FirstCustomNumberFormatId + i));
        xml.writeAttribute(QStringLiteral("formatCode"), codes[i]);
    }
    xml.writeEndElement();
}

void writeFills(QXmlStreamWriter &xml, const QList<QRgb> &fills)
{
    xml.writeStartElement(QStringLiteral("fills"));
    writeCount(xml, FirstOwnFill + fills.size());
    writePatternFill(xml, QStringLiteral("none"), QColor());
    writePatternFill(xml, QStringLiteral("gray125"), QColor());
    for (const QRgb fill : fills)
        writePatternFill(xml, QStringLiteral("solid"), QColor::fromRgb(fill));
    xml.writeEndElement();
}

void writeBorders(QXmlStreamWriter &xml, const QList<Format> &borders)
{
    xml.writeStartElement(QStringLiteral("borders"));
    writeCount(xml, borders.size());
    for (const Format &border : borders)
        writeBorder(xml, border);
    xml.writeEndElement();
}

// One <xf>; a cell style (in cellXfs) also names its base style and what it applies.
void writeXf(QXmlStreamWriter &xml, const StyleRecord &record, bool cellStyle)
{
    const bool aligned = record.format.hasAlignmentData();
    xml.writeStartElement(QStringLiteral("xf"));
    xml.writeAttribute(QStringLiteral("numFmtId"), QString::number(record.numberFormatId));
    xml.writeAttribute(QStringLiteral("fontId"), QString::number(record.fontId));
    xml.writeAttribute(QStringLiteral("fillId"), QString::number(record.fillId));
    xml.writeAttribute(QStringLiteral("borderId"), QString::number(record.borderId));
    if (cellStyle) {
        xml.writeAttribute(QStringLiteral("xfId"), QStringLiteral("0"));
        const auto apply = [&xml](const char *name, bool on) {
            if (on)
                xml.writeAttribute(QLatin1String(name), QStringLiteral("1"));
        };
        apply("applyNumberFormat", record.numberFormatId != 0);
        apply("applyFont", record.fontId != 0);
        apply("applyFill", record.fillId != 0);
        apply("applyBorder", record.borderId != 0);
        apply("applyAlignment", aligned);
    }
    writeAlignment(xml, record.format);
    xml.writeEndElement();
}

} // namespace

StyleTable::StyleTable(const Format &defaultFont)
    : m_defaultFont(fontOf(defaultFont, Format()))
{ }

int StyleTable::styleIndex(const Format &format)
{
    return format.isValid() ? m_formats.indexOf(format) + 1 : 0;
}

void StyleTable::write(QXmlStreamWriter &xml) const
{
    const StyleParts parts = collectParts(m_formats.values(), m_defaultFont);
    xml.writeStartElement(QStringLiteral("styleSheet"));
    xml.writeDefaultNamespace(MainNamespace);
    writeNumberFormats(xml, parts.customNumberFormats.values());

    xml.writeStartElement(QStringLiteral("fonts"));
    writeCount(xml, parts.fonts.values().size());
    for (const Format &font : parts.fonts.values())
        writeFont(xml, font);
    xml.writeEndElement();

    writeFills(xml, parts.fills.values());
    writeBorders(xml, parts.borders.values());

    xml.writeStartElement(QStringLiteral("cellStyleXfs"));
    writeCount(xml, 1);
    writeXf(xml, StyleRecord(), false);
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("cellXfs"));
    writeCount(xml, parts.records.size() + 1);
    writeXf(xml, StyleRecord(), true);
    for (const StyleRecord &record : parts.records)
        writeXf(xml, record, true);
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("cellStyles"));
    writeCount(xml, 1);
    xml.writeEmptyElement(QStringLiteral("cellStyle"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Normal"));
    xml.writeAttribute(QStringLiteral("xfId"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("builtinId"), QStringLiteral("0"));
    xml.writeEndElement();

    xml.writeEndElement(); // styleSheet
}

} // namespace QXlsx
