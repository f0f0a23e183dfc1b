#include "AlignmentXml.h"

#include "XmlReading.h"

#include <QXmlStreamAttributes>
#include <QXmlStreamWriter>

#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace QXlsx {

namespace {

constexpr std::array<std::pair<Format::HorizontalAlignment, const char16_t *>, 7> horizontalNames {{
    {Format::AlignLeft, u"left"},
    {Format::AlignHCenter, u"center"},
    {Format::AlignRight, u"right"},
    {Format::AlignHFill, u"fill"},
    {Format::AlignHJustify, u"justify"},
    {Format::AlignHMerge, u"centerContinuous"},
    {Format::AlignHDistributed, u"distributed"},
}};

constexpr std::array<std::pair<Format::VerticalAlignment, const char16_t *>, 4> verticalNames {{
    {Format::AlignTop, u"top"},
    {Format::AlignVCenter, u"center"},
    {Format::AlignVJustify, u"justify"},
    {Format::AlignVDistributed, u"distributed"},
}};

// The value named, or fallback for an empty or unknown name.
template<typename Names, typename Value>
Value fromName(const Names &names, QStringView name, Value fallback)
{
    for (const auto &[value, text] : names)
        if (name == QStringView(text))
            return value;
    return fallback;
}

template<typename Names, typename Value>
QString nameOf(const Names &names, Value value)
{
    for (const auto &[known, text] : names)
        if (known == value)
            return QString::fromUtf16(text);
    return {};
}

std::optional<int> intAttribute(const QXmlStreamAttributes &attributes, QLatin1String name)
{
    const std::optional<double> value = parseXmlNumber(attributes.value(name));
    if (!value || *value != std::floor(*value) || std::abs(*value) > 1e6)
        return std::nullopt;
    return int(*value);
}

} // namespace

void readAlignment(const QXmlStreamAttributes &attributes, Format *format)
{
    const auto horizontal = fromName(horizontalNames, attributes.value(QLatin1String("horizontal")),
                                     Format::AlignHGeneral);
    if (horizontal != Format::AlignHGeneral)
        format->setHorizontalAlignment(horizontal);
    const auto vertical =
        fromName(verticalNames, attributes.value(QLatin1String("vertical")), Format::AlignBottom);
    if (vertical != Format::AlignBottom)
        format->setVerticalAlignment(vertical);
    const auto flag = [&](const char *name, void (Format::*set)(bool)) {
        if (parseXmlBool(attributes.value(QLatin1String(name))))
            (format->*set)(true);
    };
    flag("wrapText", &Format::setTextWrap);
    flag("shrinkToFit", &Format::setShrinkToFit);
    flag("justifyLastLine", &Format::setJustifyLastLine);
    const auto number = [&](const char *name, void (Format::*set)(int)) {
        const std::optional<int> value = intAttribute(attributes, QLatin1String(name));
        if (value && *value != 0)
            (format->*set)(*value);
    };
    const std::optional<int> rotation = intAttribute(attributes, QLatin1String("textRotation"));
    if (rotation && ((*rotation > 0 && *rotation <= 180) || *rotation == Format::StackedRotation))
        format->setRotation(*rotation);
    number("indent", &Format::setIndent);
    number("relativeIndent", &Format::setRelativeIndent);
    const std::optional<int> order = intAttribute(attributes, QLatin1String("readingOrder"));
    if (order == Format::ReadingOrderLeftToRight || order == Format::ReadingOrderRightToLeft)
        format->setReadingOrder(Format::ReadingOrder(*order));
}

void writeAlignment(QXmlStreamWriter &xml, const Format &format)
{
    if (!format.hasAlignmentData())
        return;
    xml.writeEmptyElement(QStringLiteral("alignment"));
    const auto attribute = [&xml](const char *name, const QString &value) {
        if (!value.isEmpty())
            xml.writeAttribute(QLatin1String(name), value);
    };
    const auto number = [&](const char *name, int value) {
        attribute(name, value != 0 ? QString::number(value) : QString());
    };
    const auto flag = [&](const char *name, bool on) {
        attribute(name, on ? QStringLiteral("1") : QString());
    };
    attribute("horizontal", nameOf(horizontalNames, format.horizontalAlignment()));
    attribute("vertical", nameOf(verticalNames, format.verticalAlignment()));
    number("textRotation", format.rotation());
    flag("wrapText", format.textWrap());
    number("indent", format.indent());
    number("relativeIndent", format.relativeIndent());
    flag("justifyLastLine", format.justifyLastLine());
    flag("shrinkToFit", format.shrinkToFit());
    number("readingOrder", int(format.readingOrder()));
}

} // namespace QXlsx
