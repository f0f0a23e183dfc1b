#include "SettingsDialog.h"

#include <kivra/FormBuilder.h>
#include <kivra/Options.h>

#include <QMetaType>

using kivra::FieldFlags;
using kivra::INFO;

namespace {

const FieldFlags kReportEveryStep = kivra::kImmediateUpdate;
// Starts no further left than grid column 2, below the field beside its caption.
const FieldFlags kFromSecondColumn = FieldFlags::bit(33);
const FieldFlags kSpanRow = kivra::kSpanRestOfRow;

QVariantMap spinBoxOptions(const QString &title, int metaType, int precision,
                           const QString &minimum)
{
    QVariantMap options = kivra::optTitle({}, title);
    options = kivra::optMaxwidth(options, kivra::kNumberSpinBox, 100);
    options = kivra::optTypealign(options, kivra::kNumberSpinBox, Qt::AlignLeft);
    options = kivra::optMetatype(options, metaType);
    options = kivra::optGroupsep(options, false);
    options = kivra::optPrecision(options, precision);
    options = kivra::optMin(options, minimum);
    options = kivra::optSignedDatatype(options, false);
    options = kivra::optSpinbox(options, true);
    return kivra::optSpinboxSinglestep(options, 1);
}

QVariantMap factorOptions(const QString &title)
{
    return spinBoxOptions(title, QMetaType::Double, 2, QStringLiteral("1"));
}

QVariantMap shiftOptions(const QString &title)
{
    return spinBoxOptions(title, QMetaType::Int, 0, QStringLiteral("30"));
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
    const QString isoFormat = tr("ISO-Format");

    return {
        structural(kGridLayout),
        bound(kNumberSpinBox, factorOptions(tr("Faktor für Ganzzahlen:")), value("intScaleFactor"),
              kReportEveryStep),
        structural(kNextGridRow),
        bound(kNumberSpinBox, factorOptions(tr("Faktor für Gleitkommazahlen:")),
              value("floatScaleFactor"), kReportEveryStep),
        bound(kCheckBox, tr("Nur bei Werten ungleich 1 ändern"), value("floatScaleFactorGreater1")),
        structural(kNextGridRow),
        bound(kCheckBox, tr("Gleitkomma immer als Text"), value("saveFloatAsText"),
              kFromSecondColumn),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kNumberSpinBox, shiftOptions(tr("Maximale Verschiebung für Datumswerte in Tagen:")),
              value("dateMaxShiftDays"), kReportEveryStep),
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
        bound(kLineEdit, tr("Datum zu Text: Formatierung:"), value("dateToTextFmt")),
        bound(kCheckBox, isoFormat, value("dateToTextISO")),
        structural(kNextGridRow),
        bound(kLineEdit, tr("Datum-Zeit zu Text: Formatierung:"), value("dateTimeToTextFmt")),
        bound(kCheckBox, isoFormat, value("dateTimeToTextISO")),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        bound(kLineEdit, tr("Text zu Datum: Formatierung:"), value("textToDateFmt")),
        bound(kCheckBox, isoFormat, value("textToDateISO")),
        structural(kNextGridRow),
        bound(kLineEdit, tr("Text zu Datum-Zeit: Formatierung:"), value("textToDateTimeFmt")),
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
