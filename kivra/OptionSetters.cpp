#include "OptionSetters.h"

#include "OptionKeys.h"

namespace kivra {

QVariantMap optionsWithTitle(const QString &caption)
{
    return {{OptionKey::title, caption}};
}

QVariantMap setOption(QVariantMap map, const QString &key, const QVariant &value)
{
    map.insert(key, value);
    return map;
}

QVariantMap optTitle(QVariantMap map, const QString &title)
{
    return setOption(std::move(map), OptionKey::title, title);
}

QVariantMap optPlaintitle(QVariantMap map, const QString &title)
{
    return setOption(std::move(map), OptionKey::plaintitle, title);
}

QVariantMap optGroupsep(QVariantMap map, bool on)
{
    return setOption(std::move(map), OptionKey::groupsep, on);
}

QVariantMap optInifileName(QVariantMap map, const QString &fileName)
{
    return setOption(std::move(map), OptionKey::inifileName, fileName);
}

QVariantMap optInigroupname(QVariantMap map, const QString &group)
{
    return setOption(std::move(map), OptionKey::inigroupname, group);
}

QVariantMap optIniseparatekeys(QVariantMap map, bool on)
{
    return setOption(std::move(map), OptionKey::iniseparatekeys, on);
}

QVariantMap optLocale(QVariantMap map, const QLocale &locale)
{
    return setOption(std::move(map), OptionKey::locale, locale);
}

QVariantMap optMetatype(QVariantMap map, int metaTypeId)
{
    return setOption(std::move(map), OptionKey::metatype, metaTypeId);
}

QVariantMap optMin(QVariantMap map, const QVariant &min)
{
    return setOption(std::move(map), OptionKey::min, min);
}

QVariantMap optPrecision(QVariantMap map, int decimals)
{
    return setOption(std::move(map), OptionKey::precision, decimals);
}

QVariantMap optSignedDatatype(QVariantMap map, bool isSigned)
{
    return setOption(std::move(map), OptionKey::signedDatatype, isSigned);
}

QVariantMap optSpinbox(QVariantMap map, bool showButtons)
{
    return setOption(std::move(map), OptionKey::spinbox, showButtons);
}

QVariantMap optSpinboxSinglestep(QVariantMap map, const QVariant &step)
{
    return setOption(std::move(map), OptionKey::spinboxSinglestep, step);
}

QVariantMap optMaxwidth(QVariantMap map, int kind, int width)
{
    return setOption(std::move(map), perTypeKey(OptionKey::maxwidth, kind), width);
}

QVariantMap optSizepolicyh(QVariantMap map, int kind, int policy)
{
    return setOption(std::move(map), perTypeKey(OptionKey::sizepolicyh, kind), policy);
}

QVariantMap optSizepolicyv(QVariantMap map, int kind, int policy)
{
    return setOption(std::move(map), perTypeKey(OptionKey::sizepolicyv, kind), policy);
}

QVariantMap optStretch(QVariantMap map, int kind, int stretch)
{
    return setOption(std::move(map), perTypeKey(OptionKey::stretch, kind), stretch);
}

QVariantMap optTypealign(QVariantMap map, int kind, int alignment)
{
    return setOption(std::move(map), perTypeKey(OptionKey::typealign, kind), alignment);
}

QVariantMap optIndexalign(QVariantMap map, int index, int alignment)
{
    return setOption(std::move(map), perTypeKey(OptionKey::indexalign, index), alignment);
}

} // namespace kivra
