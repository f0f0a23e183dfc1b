#include "CaptionMarkers.h"

namespace kivra {

const QString &requiredMarkerPrefix()
{
    static const QString prefix;
    return prefix;
}

const QString &requiredMarkerSuffix()
{
    static const QString suffix =
        QStringLiteral("<big><strong style=\"color:red\">*</strong></big>");
    return suffix;
}

QString markRequiredCaption(const QString &caption, const FieldFlags &flags)
{
    if (caption.isEmpty() || !hasFlags(flags, kRequired) || hasFlags(flags, kNoRequiredMarker))
        return caption;
    QString result = caption;
    if (!requiredMarkerPrefix().isEmpty())
        result = requiredMarkerPrefix() + QLatin1Char(' ') + result;
    if (!requiredMarkerSuffix().isEmpty())
        result += QLatin1Char(' ') + requiredMarkerSuffix();
    return result;
}

QStringList captionParts(const QString &caption, const FieldFlags &flags)
{
    if (hasFlags(flags, kNoCaptionSplit))
        return {caption};
    return caption.split(QLatin1Char(';'));
}

} // namespace kivra
