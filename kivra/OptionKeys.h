#pragma once

#include <QLatin1String>
#include <QString>

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

} // namespace kivra
