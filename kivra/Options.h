#pragma once

#include <QLatin1String>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// The option map of a record: its keys, the setters that build it and the readers that
// take it apart, and the options a caption can carry inline.
namespace kivra {

// Keys of a record's option map.
namespace OptionKey {
inline constexpr QLatin1String title {"title"};
inline constexpr QLatin1String inifileName {"inifileName"};
inline constexpr QLatin1String inigroupname {"inigroupname"};
inline constexpr QLatin1String iniseparatekeys {"iniseparatekeys"};
inline constexpr QLatin1String inisummapname {"inisummapname"};
inline constexpr QLatin1String iniusemulticonf {"iniusemulticonf"};
inline constexpr QLatin1String iniautosave {"iniautosave"};
inline constexpr QLatin1String currentdir {"currentdir"};
inline constexpr QLatin1String filefilter {"filefilter"};
inline constexpr QLatin1String locale {"locale"};
inline constexpr QLatin1String mainwindowExitcode {"mainwindow_exitcode"};
inline constexpr QLatin1String timer {"timer"};
inline constexpr QLatin1String defaultalign {"defaultalign"};
inline constexpr QLatin1String defaulttypealign {"defaulttypealign"};
inline constexpr QLatin1String indexalign {"indexalign"};
inline constexpr QLatin1String typealign {"typealign"};
inline constexpr QLatin1String stretch {"stretch"};
inline constexpr QLatin1String minwidth {"minwidth"};
inline constexpr QLatin1String maxwidth {"maxwidth"};
inline constexpr QLatin1String minheight {"minheight"};
inline constexpr QLatin1String maxheight {"maxheight"};
inline constexpr QLatin1String fixedwidth {"fixedwidth"};
inline constexpr QLatin1String fixedheight {"fixedheight"};
inline constexpr QLatin1String sizepolicyh {"sizepolicyh"};
inline constexpr QLatin1String sizepolicyv {"sizepolicyv"};
inline constexpr QLatin1String required {"required"};
inline constexpr QLatin1String fileMustExist {"file_must_exist"};
inline constexpr QLatin1String autocorrectMinmax {"autocorrect_minmax"};
inline constexpr QLatin1String min {"min"};
inline constexpr QLatin1String max {"max"};
inline constexpr QLatin1String regexPattern {"regex_pattern"};
inline constexpr QLatin1String regexPatternOptions {"regex_pattern_options"};
inline constexpr QLatin1String regexPatternWildcard {"regex_pattern_wildcard"};
inline constexpr QLatin1String plaintitle {"plaintitle"};
inline constexpr QLatin1String metatype {"metatype"};
inline constexpr QLatin1String precision {"precision"};
inline constexpr QLatin1String prefix {"prefix"};
inline constexpr QLatin1String suffix {"suffix"};
inline constexpr QLatin1String groupsep {"groupsep"};
inline constexpr QLatin1String signedDatatype {"signed_datatype"};
inline constexpr QLatin1String spinbox {"spinbox"};
inline constexpr QLatin1String spinboxSinglestep {"spinbox_singlestep"};
inline constexpr QLatin1String menuid {"menuid"};
inline constexpr QLatin1String menugroupno {"menugroupno"};
} // namespace OptionKey

// A key followed directly by a decimal number (a type code, sub-kind or widget index):
// perTypeKey("maxwidth", 50006) is "maxwidth50006".
QString perTypeKey(const QString &key, qint64 number);

// Each setter returns the changed copy of the map, so calls chain while a record's
// options are built: optMaxwidth(optTitle({}, tr("Ab Zeile:")), kNumberSpinBox, 100).

QVariantMap optionsWithTitle(const QString &caption);
QVariantMap setOption(QVariantMap map, const QString &key, const QVariant &value);

QVariantMap optTitle(QVariantMap map, const QString &title);
QVariantMap optPlaintitle(QVariantMap map, const QString &title);
QVariantMap optGroupsep(QVariantMap map, bool on);
QVariantMap optInifileName(QVariantMap map, const QString &fileName);
QVariantMap optInigroupname(QVariantMap map, const QString &group);
QVariantMap optIniseparatekeys(QVariantMap map, bool on);
QVariantMap optLocale(QVariantMap map, const QLocale &locale);
QVariantMap optMetatype(QVariantMap map, int metaTypeId);
QVariantMap optMin(QVariantMap map, const QVariant &min);
QVariantMap optPrecision(QVariantMap map, int decimals);
QVariantMap optSignedDatatype(QVariantMap map, bool isSigned);
QVariantMap optSpinbox(QVariantMap map, bool showButtons);
QVariantMap optSpinboxSinglestep(QVariantMap map, const QVariant &step);

// Keys per widget kind, sub-kind or index ("maxwidth50006", "indexalign1").
QVariantMap optMaxwidth(QVariantMap map, int kind, int width);
QVariantMap optSizepolicyh(QVariantMap map, int kind, int policy);
QVariantMap optSizepolicyv(QVariantMap map, int kind, int policy);
QVariantMap optStretch(QVariantMap map, int kind, int stretch);
QVariantMap optTypealign(QVariantMap map, int kind, int alignment);
QVariantMap optIndexalign(QVariantMap map, int index, int alignment);

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

// The delimiters of an option written into a caption: {{key}{value}}.
QStringList inlineOptionDelimiters();

// Takes every option written as open, key, middle, value, close out of text and stores
// options[key.trimmed()] = value (untrimmed); an empty key is dropped. With only two
// delimiters the text between them is the key and the value is empty. An opening
// delimiter without the rest of the pattern stops the parse and stays caption text.
// Returns whether an option was stored.
bool parseInlineOptions(const QStringList &delimiters, QString &text, QVariantMap &options);

} // namespace kivra
