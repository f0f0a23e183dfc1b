#include "ThemeColors.h"

#include "XmlReading.h"

#include <QXmlStreamReader>

#include <cmath>

namespace QXlsx {

namespace {

// The scheme's elements in theme index order; the file lists dark before light, but styles
// number light 1 as 0 and dark 1 as 1.
constexpr const char16_t *schemeNames[] = {u"lt1",     u"dk1",     u"lt2",     u"dk2",
                                           u"accent1", u"accent2", u"accent3", u"accent4",
                                           u"accent5", u"accent6", u"hlink",   u"folHlink"};
constexpr QRgb defaultColors[] = {0xFFFFFF, 0x000000, 0xE7E6E6, 0x44546A, 0x4472C4, 0xED7D31,
                                  0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47, 0x0563C1, 0x954F72};

} // namespace

ThemeColors::ThemeColors()
{
    for (const QRgb rgb : defaultColors)
        m_colors.append(QColor::fromRgb(rgb));
}

bool ThemeColors::read(QXmlStreamReader &xml)
{
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"clrScheme")
            continue;
        while (xml.readNextStartElement()) {
            qsizetype index = -1;
            for (qsizetype i = 0; i < m_colors.size(); ++i)
                if (xml.name() == QStringView(schemeNames[i]))
                    index = i;
            QColor color;
            while (xml.readNextStartElement()) {
                const QXmlStreamAttributes attributes = xml.attributes();
                if (xml.name() == u"srgbClr")
                    color = parseArgbColor(attributes.value(QLatin1String("val")));
                else if (xml.name() == u"sysClr")
                    color = parseArgbColor(attributes.value(QLatin1String("lastClr")));
                xml.skipCurrentElement();
            }
            if (index >= 0 && color.isValid())
                m_colors[index] = color;
        }
        return !xml.hasError(); // the first scheme is the theme's own
    }
    return !xml.hasError();
}

QColor ThemeColors::color(int index, double tint) const
{
    if (index < 0 || index >= m_colors.size())
        return {};
    return applyTint(m_colors[index], tint);
}

QColor applyTint(const QColor &color, double tint)
{
    if (!color.isValid() || !std::isfinite(tint) || tint == 0)
        return color;
    tint = qBound(-1.0, tint, 1.0);
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    color.getHslF(&hue, &saturation, &lightness);
    lightness = tint < 0 ? lightness * float(1 + tint) : lightness * float(1 - tint) + float(tint);
    return QColor::fromHslF(hue, saturation, qBound(0.0f, lightness, 1.0f)).toRgb();
}

} // namespace QXlsx
