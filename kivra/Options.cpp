#include "Options.h"

#include <kivra/Records.h>

#include <QRegularExpression>

namespace kivra {

QString perTypeKey(const QString &key, qint64 number)
{
    return QStringLiteral("%1%2").arg(key).arg(number);
}

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

namespace Option {

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

} // namespace Option

QStringList inlineOptionDelimiters()
{
    return {QStringLiteral("{{"), QStringLiteral("}{"), QStringLiteral("}}")};
}

bool parseInlineOptions(const QStringList &delimiters, QString &text, QVariantMap &options)
{
    if (delimiters.size() < 2 || delimiters.at(0).isEmpty() || delimiters.at(1).isEmpty())
        return false;
    const QString &open = delimiters.at(0);
    const QString &middle = delimiters.at(1);
    const QString close = delimiters.size() > 2 ? delimiters.at(2) : QString();

    bool found = false;
    for (;;) {
        const qsizetype start = text.indexOf(open);
        if (start < 0)
            break;
        const qsizetype keyStart = start + open.size();
        const qsizetype middleAt = text.indexOf(middle, keyStart);
        if (middleAt < 0)
            break;
        const QString key = text.mid(keyStart, middleAt - keyStart).trimmed();
        QString value;
        qsizetype end = middleAt + middle.size();
        if (!close.isEmpty()) {
            const qsizetype closeAt = text.indexOf(close, end);
            if (closeAt < 0)
                break;
            value = text.mid(end, closeAt - end);
            end = closeAt + close.size();
        }
        text.remove(start, end - start);
        if (!key.isEmpty()) {
            options.insert(key, value);
            found = true;
        }
    }
    return found;
}

} // namespace kivra
