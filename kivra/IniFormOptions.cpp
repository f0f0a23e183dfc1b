#include "IniFormOptions.h"

#include "IniValues.h"
#include <kivra/Options.h>
#include <kivra/Records.h>

namespace kivra {

IniFormOptions IniFormOptions::fromWindow(const INFO &windowRecord)
{
    const QVariantMap options = windowRecord.options.toMap();
    IniFormOptions ini;
    ini.file = Option::inifileName(options);
    ini.group = Option::inigroupname(options);
    ini.summaryName = Option::inisummapname(options).trimmed();
    if (ini.summaryName.isEmpty())
        ini.summaryName = kDefaultSummaryName;
    ini.separateKeys = options.value(OptionKey::iniseparatekeys).toBool();
    ini.multiConf = Option::iniusemulticonf(options);
    ini.autoSave = Option::iniautosave(options);
    return ini;
}

} // namespace kivra
