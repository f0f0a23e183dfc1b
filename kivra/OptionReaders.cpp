#include "OptionReaders.h"

#include "MetaTypes.h"
#include "OptionKeys.h"

#include <QRegularExpression>

namespace kivra::Option {

namespace {

QString text(const QVariantMap &options, const QString &key)
{
    return options.value(key).toString();
}

bool flag(const QVariantMap &options, const QString &key, bool fallback)
{
    const auto it = options.constFind(key);
    return it == options.cend() ? fallback : it->toBool();
}

} // namespace

QString title(const QVariantMap &options)
{
    return text(options, OptionKey::title);
}

QString currentdir(const QVariantMap &options)
{
    return text(options, OptionKey::currentdir);
}

QString filefilter(const QVariantMap &options)
{
    return text(options, OptionKey::filefilter);
}

QString inifileName(const QVariantMap &options)
{
    return text(options, OptionKey::inifileName);
}

QString inigroupname(const QVariantMap &options)
{
    return text(options, OptionKey::inigroupname);
}

QString inisummapname(const QVariantMap &options)
{
    return text(options, OptionKey::inisummapname);
}

bool iniautosave(const QVariantMap &options)
{
    return flag(options, OptionKey::iniautosave, true);
}

bool iniusemulticonf(const QVariantMap &options)
{
    return flag(options, OptionKey::iniusemulticonf, false);
}

QString regexPattern(const QVariantMap &options)
{
    return text(options, OptionKey::regexPattern);
}

bool regexPatternWildcard(const QVariantMap &options)
{
    return flag(options, OptionKey::regexPatternWildcard, false);
}

int regexPatternOptions(const QVariantMap &options)
{
    const auto it = options.constFind(OptionKey::regexPatternOptions);
    return it == options.cend() ? int(QRegularExpression().patternOptions()) : it->toInt();
}

QVariant locale(const QVariantMap &options)
{
    return options.value(OptionKey::locale);
}

QVariant min(const QVariantMap &options)
{
    return options.value(OptionKey::min);
}

QVariant max(const QVariantMap &options)
{
    return options.value(OptionKey::max);
}

QVariant metatype(const QVariantMap &options)
{
    return options.value(OptionKey::metatype);
}

int precision(const QVariantMap &options)
{
    return options.value(OptionKey::precision, 2).toInt();
}

QString prefix(const QVariantMap &options)
{
    return text(options, OptionKey::prefix);
}

QString suffix(const QVariantMap &options)
{
    return text(options, OptionKey::suffix);
}

bool groupsep(const QVariantMap &options)
{
    return flag(options, OptionKey::groupsep, true);
}

QVariant signedDatatype(const QVariantMap &options)
{
    return options.value(OptionKey::signedDatatype);
}

bool spinbox(const QVariantMap &options)
{
    return flag(options, OptionKey::spinbox, false);
}

QVariant spinboxSinglestep(const QVariantMap &options)
{
    return options.value(OptionKey::spinboxSinglestep);
}

QVariantList timer(const QVariantMap &options)
{
    const QVariant value = options.value(OptionKey::timer);
    if (isList(value))
        return value.toList();
    return value.isValid() ? QVariantList {value} : QVariantList {};
}

QVariant sizepolicyh(const QVariantMap &options, int kind)
{
    return options.value(perTypeKey(OptionKey::sizepolicyh, kind));
}

QVariant sizepolicyv(const QVariantMap &options, int kind)
{
    return options.value(perTypeKey(OptionKey::sizepolicyv, kind));
}

QVariant stretch(const QVariantMap &options, int kind)
{
    return options.value(perTypeKey(OptionKey::stretch, kind));
}

} // namespace kivra::Option
