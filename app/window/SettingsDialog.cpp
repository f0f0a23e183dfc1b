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

INFO bound(quint32 type, const QVariant &options, QVariant *value, const FieldFlags &flags = {})
{
    Q_ASSERT(value);
    return INFO(type, flags, options, value);
}

} // namespace

const QList<SettingsDialog::Setting> &SettingsDialog::settings()
{
    static const QList<Setting> list {
        {QStringLiteral("intScaleFactor"), Conversion::Double},
        {QStringLiteral("floatScaleFactor"), Conversion::Double},
        {QStringLiteral("simulateReal"), Conversion::Bool},
        {QStringLiteral("floatScaleFactorGreater1"), Conversion::Bool},
        {QStringLiteral("saveFloatAsText"), Conversion::Bool},
        {QStringLiteral("dateMaxShiftDays"), Conversion::Int},
        {QStringLiteral("dateShiftPerDataSet"), Conversion::Bool},
        {QStringLiteral("saveDateAsText"), Conversion::Bool},
        {QStringLiteral("saveDateTimeAsText"), Conversion::Bool},
        {QStringLiteral("dateToTextFmt"), Conversion::String},
        {QStringLiteral("dateToTextISO"), Conversion::Bool},
        {QStringLiteral("dateTimeToTextFmt"), Conversion::String},
        {QStringLiteral("dateTimeToTextISO"), Conversion::Bool},
        {QStringLiteral("textToDateFmt"), Conversion::String},
        {QStringLiteral("textToDateISO"), Conversion::Bool},
        {QStringLiteral("textToDateTimeFmt"), Conversion::String},
        {QStringLiteral("textToDateTimeISO"), Conversion::Bool},
        {QStringLiteral("removeMetaData"), Conversion::Bool},
    };
    return list;
}

QVariant SettingsDialog::convert(const QVariant &value, Conversion conversion)
{
    switch (conversion) {
    case Conversion::Double:
        return value.toDouble();
    case Conversion::Bool:
        return value.toBool();
    case Conversion::Int:
        return value.toInt();
    case Conversion::String:
        return value.toString();
    }
    return value;
}

void SettingsDialog::takeFromOptionMap(const Values &values,
                                       const QMap<QString, QVariant> &optionMap)
{
    for (const Setting &setting : settings()) {
        QVariant *value = values.value(setting.key);
        Q_ASSERT(value);
        const auto stored = optionMap.constFind(setting.key);
        *value = convert(stored != optionMap.cend() ? *stored : *value, setting.conversion);
    }
}

void SettingsDialog::storeIntoOptionMap(const Values &values, QMap<QString, QVariant> &optionMap)
{
    for (const Setting &setting : settings()) {
        const QVariant *value = values.value(setting.key);
        Q_ASSERT(value);
        optionMap.insert(setting.key, convert(*value, setting.conversion));
    }
}

QString SettingsDialog::caption(const QString &key)
{
    static const QMap<QString, const char *> captions {
        {QStringLiteral("intScaleFactor"), QT_TR_NOOP("Faktor für Ganzzahlen:")},
        {QStringLiteral("floatScaleFactor"), QT_TR_NOOP("Faktor für Gleitkommazahlen:")},
        {QStringLiteral("dateMaxShiftDays"),
         QT_TR_NOOP("Maximale Verschiebung für Datumswerte in Tagen:")},
        {QStringLiteral("dateToTextFmt"), QT_TR_NOOP("Datum zu Text: Formatierung:")},
        {QStringLiteral("dateTimeToTextFmt"), QT_TR_NOOP("Datum-Zeit zu Text: Formatierung:")},
        {QStringLiteral("textToDateFmt"), QT_TR_NOOP("Text zu Datum: Formatierung:")},
        {QStringLiteral("textToDateTimeFmt"), QT_TR_NOOP("Text zu Datum-Zeit: Formatierung:")},
    };
    const char *text = captions.value(key);
    return text ? tr(text) : key;
}

kivra::INFO SettingsDialog::windowRecord()
{
    return kivra::makeDialogInfo(tr("Einstellungen:"));
}

QList<kivra::INFO> SettingsDialog::fields(const Values &v)
{
    using namespace kivra;
    const auto value = [&v](const char *key) {
        return v.value(QLatin1String(key));
    };
    const auto caption = [](const char *key) {
        return SettingsDialog::caption(QLatin1String(key));
    };
    const QString isoFormat = tr("ISO-Format");
    const int formatWidth = formatFieldWidth();

    return {
        structural(kGridLayout),
        bound(kNumberSpinBox, factorOptions(caption("intScaleFactor")), value("intScaleFactor"),
              kReportEveryStep),
        structural(kNextGridRow),
        bound(kNumberSpinBox, factorOptions(caption("floatScaleFactor")), value("floatScaleFactor"),
              kReportEveryStep),
        bound(kCheckBox, tr("Nur bei Werten ungleich 1 ändern"), value("floatScaleFactorGreater1")),
        structural(kNextGridRow),
        bound(kCheckBox, tr("Gleitkomma immer als Text"), value("saveFloatAsText"),
              kFromSecondColumn),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kNumberSpinBox, shiftOptions(caption("dateMaxShiftDays")), value("dateMaxShiftDays"),
              kReportEveryStep),
        bound(kCheckBox, tr("Gleiche Verschiebung für alle Datumswerte"),
              value("dateShiftPerDataSet")),
        structural(kNextGridRow),
        bound(kCheckBox, tr("Datum immer als Text"), value("saveDateAsText"), kFromSecondColumn),
        structural(kNextGridRow),
        bound(kCheckBox, tr("Datum-Zeit immer als Text"), value("saveDateTimeAsText"),
              kFromSecondColumn),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kLineEdit, formatOptions(caption("dateToTextFmt"), formatWidth),
              value("dateToTextFmt")),
        bound(kCheckBox, isoFormat, value("dateToTextISO")),
        structural(kNextGridRow),
        bound(kLineEdit, formatOptions(caption("dateTimeToTextFmt"), formatWidth),
              value("dateTimeToTextFmt")),
        bound(kCheckBox, isoFormat, value("dateTimeToTextISO")),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kLineEdit, formatOptions(caption("textToDateFmt"), formatWidth),
              value("textToDateFmt")),
        bound(kCheckBox, isoFormat, value("textToDateISO")),
        structural(kNextGridRow),
        bound(kLineEdit, formatOptions(caption("textToDateTimeFmt"), formatWidth),
              value("textToDateTimeFmt")),
        bound(kCheckBox, isoFormat, value("textToDateTimeISO")),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kCheckBox, tr("Echtwerte simulieren"), value("simulateReal"), kSpanRow),
        structural(kNextGridRow),
        bound(kCheckBox, tr("Metadaten entfernen"), value("removeMetaData"), kSpanRow),
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
