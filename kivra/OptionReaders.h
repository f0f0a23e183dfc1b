#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace kivra {

// Readers of a record's option map. Those returning QVariant give the stored value or
// an invalid variant when the key is absent.
namespace Option {
QString title(const QVariantMap &options);
QString currentdir(const QVariantMap &options);
QString filefilter(const QVariantMap &options);
QString inifileName(const QVariantMap &options);
QString inigroupname(const QVariantMap &options);
QString inisummapname(const QVariantMap &options);
// Default true.
bool iniautosave(const QVariantMap &options);
bool iniusemulticonf(const QVariantMap &options);
QString regexPattern(const QVariantMap &options);
bool regexPatternWildcard(const QVariantMap &options);
// Default: the options of a default-constructed QRegularExpression.
int regexPatternOptions(const QVariantMap &options);

QVariant locale(const QVariantMap &options);
QVariant min(const QVariantMap &options);
QVariant max(const QVariantMap &options);
QVariant metatype(const QVariantMap &options);
// Default 2.
int precision(const QVariantMap &options);
QString prefix(const QVariantMap &options);
QString suffix(const QVariantMap &options);
// Default true.
bool groupsep(const QVariantMap &options);
QVariant signedDatatype(const QVariantMap &options);
// Default false.
bool spinbox(const QVariantMap &options);
QVariant spinboxSinglestep(const QVariantMap &options);
// Interval in ms and timer name; a single value counts as a one-element list.
QVariantList timer(const QVariantMap &options);

QVariant sizepolicyh(const QVariantMap &options, int kind);
QVariant sizepolicyv(const QVariantMap &options, int kind);
QVariant stretch(const QVariantMap &options, int kind);
} // namespace Option

} // namespace kivra
