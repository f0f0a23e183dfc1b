#include "WidgetAlignment.h"

#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

namespace kivra {

namespace {

constexpr int kHorizontalMask =
    Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify;
constexpr int kVerticalMask = Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter | Qt::AlignBaseline;

std::optional<int> intOption(const QVariantMap &options, const QString &key)
{
    const QVariant value = options.value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toInt();
}

std::optional<int> typeDefault(const TypeAlignments *typeDefaults, int code)
{
    if (!typeDefaults || !typeDefaults->contains(code))
        return std::nullopt;
    return int(typeDefaults->value(code));
}

} // namespace

std::optional<int> indexAlign(const QVariantMap &options, int index)
{
    return intOption(options, perTypeKey(OptionKey::indexalign, index));
}

std::optional<int> typeAlign(const QVariantMap &options, int code)
{
    return intOption(options, perTypeKey(OptionKey::typealign, code));
}

int alignmentFor(const QWidget *widget, int index, const QVariantMap &options, int defaultAlign,
                 const TypeAlignments *typeDefaults)
{
    const int kind = widgetKind(widget);
    const int subKind = widgetSubKind(widget);
    const std::optional<int> candidates[] = {
        indexAlign(options, index),      typeAlign(options, subKind),
        typeAlign(options, kind),        typeDefault(typeDefaults, subKind),
        typeDefault(typeDefaults, kind),
    };
    int alignment = defaultAlign;
    for (const std::optional<int> &candidate : candidates) {
        if (candidate) {
            alignment = *candidate;
            break;
        }
    }
    if (kind == kHLine || subKind == kHLine)
        return alignment & ~kHorizontalMask;
    if (kind == kVLine || subKind == kVLine)
        return alignment & ~kVerticalMask;
    return alignment;
}

TypeAlignments defaultTypeAlign(const QVariantMap &windowOptions)
{
    const QVariant value = windowOptions.value(OptionKey::defaulttypealign);
    return value.canConvert<TypeAlignments>() ? value.value<TypeAlignments>() : TypeAlignments();
}

} // namespace kivra
