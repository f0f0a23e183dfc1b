#include "BorderStyleNames.h"

namespace QXlsx {

namespace {

struct BorderStyleName
{
    Format::BorderStyle style;
    const char16_t *name;
};

constexpr BorderStyleName borderStyleNames[] = {
    {Format::BorderNone, u"none"},
    {Format::BorderThin, u"thin"},
    {Format::BorderMedium, u"medium"},
    {Format::BorderDashed, u"dashed"},
    {Format::BorderDotted, u"dotted"},
    {Format::BorderThick, u"thick"},
    {Format::BorderDouble, u"double"},
    {Format::BorderHair, u"hair"},
    {Format::BorderMediumDashed, u"mediumDashed"},
    {Format::BorderDashDot, u"dashDot"},
    {Format::BorderMediumDashDot, u"mediumDashDot"},
    {Format::BorderDashDotDot, u"dashDotDot"},
    {Format::BorderMediumDashDotDot, u"mediumDashDotDot"},
    {Format::BorderSlantDashDot, u"slantDashDot"},
};

} // namespace

QString borderStyleName(Format::BorderStyle style)
{
    for (const BorderStyleName &entry : borderStyleNames)
        if (entry.style == style)
            return QString::fromUtf16(entry.name);
    return QStringLiteral("none");
}

Format::BorderStyle borderStyleFromName(QStringView name)
{
    for (const BorderStyleName &entry : borderStyleNames)
        if (name == QStringView(entry.name))
            return entry.style;
    return Format::BorderNone;
}

} // namespace QXlsx
