#include "InitFormFromOptions.h"

#include "IniConfigurations.h"
#include "IniFormOptions.h"
#include "IniValues.h"
#include "SizeOptions.h"
#include <kivra/Options.h>

#include <QFileInfo>

namespace kivra {

namespace {

// A window record's options are a map, or just its caption.
QString windowCaption(const INFO &windowRecord, const QVariantMap &options)
{
    return options.isEmpty() ? windowRecord.options.toString() : Option::title(options);
}

} // namespace

void initFormFromOptions(const QPointer<QWidget> &window, const INFO &windowRecord,
                         QMap<QString, QVariant> *values, bool applyWindowOptions)
{
    const QVariantMap options = windowRecord.options.toMap();
    if (window && applyWindowOptions) {
        window->setWindowTitle(windowCaption(windowRecord, options));
        applySizeOptions(window, 0, options);
    }
    if (!values)
        return;
    const IniFormOptions ini = IniFormOptions::fromWindow(windowRecord);
    if (!ini.isOn() || !QFileInfo::exists(ini.file))
        return;
    QString summary = ini.summaryName;
    if (ini.usesConfigurations()) {
        QStringList names;
        QString current;
        listIniConfigurations(ini.file, ini.group, &names, &current, true);
        if (!current.isEmpty())
            summary = current;
        if (!names.contains(summary, Qt::CaseInsensitive))
            setCurrentIniConfiguration(ini.file, summary);
    }
    readIniValues(values, ini.file, ini.group, ini.separateKeys, summary);
}

} // namespace kivra
