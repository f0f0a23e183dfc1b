#include "SettingsDialog.h"

#include <kivra/FormBuilder.h>
#include <kivra/Options.h>
#include <kivra/Sizing.h>
#include <run/SettingLimits.h>

#include <QLineEdit>
#include <QMetaType>

using kivra::FieldFlags;
using kivra::INFO;

namespace {

const FieldFlags kReportEveryStep = kivra::kImmediateUpdate;
// Starts no further left than grid column 2, below the field beside its caption.
const FieldFlags kFromSecondColumn = FieldFlags::bit(33);
const FieldFlags kSpanRow = kivra::kSpanRestOfRow;

QVariantMap spinBoxOptions(const QString &title, int metaType, int precision,
                           const QVariant &minimum, const QVariant &maximum)
{
    QVariantMap options = kivra::optTitle({}, title);
    options = kivra::optMaxwidth(options, kivra::kNumberSpinBox, 100);
    options = kivra::optTypealign(options, kivra::kNumberSpinBox, Qt::AlignLeft);
    options = kivra::optMetatype(options, metaType);
    options = kivra::optGroupsep(options, false);
    options = kivra::optPrecision(options, precision);
    options = kivra::optMin(options, minimum);
    options = kivra::setOption(options, kivra::OptionKey::max, maximum);
    options = kivra::optSignedDatatype(options, false);
    options = kivra::optSpinbox(options, true);
    return kivra::optSpinboxSinglestep(options, 1);
}

QVariantMap factorOptions(const QString &title)
{
    return spinBoxOptions(title, QMetaType::Double, SettingLimits::factorDecimals,
                          SettingLimits::minFactor, SettingLimits::maxFactor);
}

QVariantMap shiftOptions(const QString &title)
{
    return spinBoxOptions(title, QMetaType::Int, 0, SettingLimits::minShiftDays,
                          SettingLimits::maxShiftDays);
}

// Wide enough for the longest default format in the font a format field gets: a format cut
// off at its start reads as another format.
int formatFieldWidth()
{
    const QLineEdit probe;
    return kivra::lineEditWidthFor(&probe, vondrel::DateTextSettings().dateTimeToTextFmt);
}

QVariantMap formatOptions(const QString &title, int width)
{
    const QVariantMap options = kivra::setOption(kivra::optTitle({}, title), kivra::OptionKey::max,
                                                 SettingLimits::maxFormatLength);
    return kivra::setOption(options,
                            kivra::perTypeKey(kivra::OptionKey::minwidth, kivra::kLineEdit), width);
}

INFO structural(quint32 type, const FieldFlags &flags = {})
{
    return INFO(type, flags, QString(), QVariant());
}

// The field of the setting key, bound to the value it edits.
INFO bound(quint32 type, const QVariant &options, const SettingsDialog::Values &values,
           const char *key, const FieldFlags &flags = {})
{
    QVariant *value = values.value(QLatin1String(key));
    Q_ASSERT(value);
    return INFO(type, flags, options, value);
}

} // namespace

void SettingsDialog::takeFromOptionMap(const Values &values,
                                       const QMap<QString, QVariant> &optionMap)
{
    for (const Setting &setting : settings()) {
        QVariant *value = values.value(setting.key);
        Q_ASSERT(value);
        const auto stored = optionMap.constFind(setting.key);
        *value = setting.converted(stored != optionMap.cend() ? *stored : *value);
    }
}

void SettingsDialog::storeIntoOptionMap(const Values &values, QMap<QString, QVariant> &optionMap)
{
    for (const Setting &setting : settings()) {
        const QVariant *value = values.value(setting.key);
        Q_ASSERT(value);
        optionMap.insert(setting.key, setting.converted(*value));
    }
}

QString SettingsDialog::caption(const QString &key)
{
    const Setting *setting = SettingTable::find(key);
    return setting && setting->caption ? tr(setting->caption) : key;
}

kivra::INFO SettingsDialog::windowRecord()
{
    return kivra::makeDialogInfo(tr("Einstellungen:"));
}

QList<kivra::INFO> SettingsDialog::fields(const Values &values)
{
    using namespace kivra;
    const auto caption = [](const char *key) {
        return SettingsDialog::caption(QLatin1String(key));
    };
    const auto factor = [&](const char *key) {
        return bound(kNumberSpinBox, factorOptions(caption(key)), values, key, kReportEveryStep);
    };
    const auto checkBox = [&](const char *key, const FieldFlags &flags = {}) {
        return bound(kCheckBox, caption(key), values, key, flags);
    };
    const int formatWidth = formatFieldWidth();
    const auto format = [&](const char *key) {
        return bound(kLineEdit, formatOptions(caption(key), formatWidth), values, key);
    };

    return {
        structural(kGridLayout),
        factor("intScaleFactor"),
        structural(kNextGridRow),
        factor("floatScaleFactor"),
        checkBox("floatScaleFactorGreater1"),
        structural(kNextGridRow),
        checkBox("saveFloatAsText", kFromSecondColumn),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kNumberSpinBox, shiftOptions(caption("dateMaxShiftDays")), values, "dateMaxShiftDays",
              kReportEveryStep),
        checkBox("dateShiftPerDataSet"),
        structural(kNextGridRow),
        checkBox("saveDateAsText", kFromSecondColumn),
        structural(kNextGridRow),
        checkBox("saveDateTimeAsText", kFromSecondColumn),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        format("dateToTextFmt"),
        checkBox("dateToTextISO"),
        structural(kNextGridRow),
        format("dateTimeToTextFmt"),
        checkBox("dateTimeToTextISO"),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        format("textToDateFmt"),
        checkBox("textToDateISO"),
        structural(kNextGridRow),
        format("textToDateTimeFmt"),
        checkBox("textToDateTimeISO"),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        checkBox("simulateReal", kSpanRow),
        structural(kNextGridRow),
        checkBox("removeMetaData", kSpanRow),
        structural(kNextGridRow),
        structural(kEndLayout),
        structural(kVBoxLayout),
        structural(kHLine),
        structural(kHBoxLayout),
        INFO(kOkButton, {}, tr("Beenden"), QVariant()),
        // The framework gives an uncaptioned cancel button its caption "Abbrechen".
        INFO(kCancelButton, {}, QString(), QVariant()),
        INFO(kHelpUrlButton, {}, tr("Hilfe"), QVariant()),
        structural(kEndLayout),
        structural(kEndLayout),
    };
}

bool SettingsDialog::exec(QWidget *parent, const Values &values, QMap<QString, QVariant> &optionMap)
{
    takeFromOptionMap(values, optionMap);
    QMap<QString, QVariant> before;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        before.insert(it.key(), *it.value());

    const kivra::FormFlags flags =
        kivra::kNewWindow | kivra::kFixedSize | kivra::kExec | kivra::kCloseAccepts;
    const Qt::WindowFlags windowFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    const kivra::FormResult result = kivra::buildForm(parent, flags, windowFlags, windowRecord(),
                                                      fields(values), nullptr, nullptr);

    if (result.exitCode == 1) {
        storeIntoOptionMap(values, optionMap);
        return true;
    }
    // The fields wrote into the values while the user edited; a cancel takes that back, so
    // that the run never works with settings the user threw away.
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        *it.value() = before.value(it.key());
    return false;
}
