#include "SettingTable.h"

#include "RunSettings.h"

#include <QtGlobal>

#include <type_traits>

namespace {

using Conversion = SettingTable::Conversion;
using Limit = SettingLimits::Limit;
using Source = SettingTable::Source;
using DateText = vondrel::DateTextSettings;

template<auto member>
void toRun(RunSettings &settings, const QVariant &value)
{
    auto &setting = settings.*member;
    setting = value.value<std::decay_t<decltype(setting)>>();
}

// The date formats travel in the record the engine reads them from.
template<auto member>
void toDateText(RunSettings &settings, const QVariant &value)
{
    auto &setting = settings.dateText.*member;
    setting = value.value<std::decay_t<decltype(setting)>>();
}

} // namespace

const QList<SettingTable::Row> &SettingTable::rows()
{
    // The factors start as the whole number 1; the dialog and every load make them doubles.
    static const QList<Row> table {
        {QStringLiteral("intScaleFactor"), Conversion::Double, 1, Limit::Factor,
         QT_TRANSLATE_NOOP("Dialog", "Faktor für Ganzzahlen:"), Source::Pass,
         toRun<&RunSettings::intScaleFactor>},
        {QStringLiteral("floatScaleFactor"), Conversion::Double, 1, Limit::Factor,
         QT_TRANSLATE_NOOP("Dialog", "Faktor für Gleitkommazahlen:"), Source::Pass,
         toRun<&RunSettings::floatScaleFactor>},
        {QStringLiteral("simulateReal"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Echtwerte simulieren"), Source::Engine,
         toRun<&RunSettings::simulateReal>},
        {QStringLiteral("floatScaleFactorGreater1"), Conversion::Bool, true, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Nur bei Werten ungleich 1 ändern"), Source::Pass,
         toRun<&RunSettings::floatScaleFactorGreater1>},
        {QStringLiteral("saveFloatAsText"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Gleitkomma immer als Text"), Source::Pass,
         toRun<&RunSettings::saveFloatAsText>},
        {QStringLiteral("dateMaxShiftDays"), Conversion::Int, 365, Limit::ShiftDays,
         QT_TRANSLATE_NOOP("Dialog", "Maximale Verschiebung für Datumswerte in Tagen:"),
         Source::Engine, toRun<&RunSettings::dateMaxShiftDays>},
        {QStringLiteral("dateShiftPerDataSet"), Conversion::Bool, true, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Gleiche Verschiebung für alle Datumswerte"), Source::Pass,
         toRun<&RunSettings::dateShiftPerDataSet>},
        {QStringLiteral("saveDateAsText"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Datum immer als Text"), Source::Pass,
         toRun<&RunSettings::saveDateAsText>},
        {QStringLiteral("saveDateTimeAsText"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Datum-Zeit immer als Text"), Source::Pass,
         toRun<&RunSettings::saveDateTimeAsText>},
        {QStringLiteral("dateToTextFmt"), Conversion::String, QStringLiteral("dd.MM.yyyy"),
         Limit::Format, QT_TRANSLATE_NOOP("Dialog", "Datum zu Text: Formatierung:"), Source::Window,
         toDateText<&DateText::dateToTextFmt>},
        {QStringLiteral("dateToTextISO"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "ISO-Format"), Source::Window,
         toDateText<&DateText::dateToTextISO>},
        {QStringLiteral("dateTimeToTextFmt"), Conversion::String,
         QStringLiteral("dd.MM.yyyy HH:mm:ss"), Limit::Format,
         QT_TRANSLATE_NOOP("Dialog", "Datum-Zeit zu Text: Formatierung:"), Source::Window,
         toDateText<&DateText::dateTimeToTextFmt>},
        {QStringLiteral("dateTimeToTextISO"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "ISO-Format"), Source::Window,
         toDateText<&DateText::dateTimeToTextISO>},
        {QStringLiteral("textToDateFmt"), Conversion::String, QStringLiteral("dd.MM.yyyy"),
         Limit::Format, QT_TRANSLATE_NOOP("Dialog", "Text zu Datum: Formatierung:"), Source::Window,
         toDateText<&DateText::textToDateFmt>},
        {QStringLiteral("textToDateISO"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "ISO-Format"), Source::Window,
         toDateText<&DateText::textToDateISO>},
        {QStringLiteral("textToDateTimeFmt"), Conversion::String,
         QStringLiteral("dd.MM.yyyy HH:mm:ss"), Limit::Format,
         QT_TRANSLATE_NOOP("Dialog", "Text zu Datum-Zeit: Formatierung:"), Source::Window,
         toDateText<&DateText::textToDateTimeFmt>},
        {QStringLiteral("textToDateTimeISO"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "ISO-Format"), Source::Window,
         toDateText<&DateText::textToDateTimeISO>},
        {QStringLiteral("removeMetaData"), Conversion::Bool, false, Limit::None,
         QT_TRANSLATE_NOOP("Dialog", "Metadaten entfernen"), Source::Window,
         toRun<&RunSettings::removeMetaData>},
    };
    return table;
}

QStringList SettingTable::keys()
{
    QStringList keys;
    for (const Row &row : rows())
        keys.append(row.key);
    return keys;
}

const SettingTable::Row *SettingTable::find(const QString &key)
{
    for (const Row &row : rows()) {
        if (row.key == key)
            return &row;
    }
    return nullptr;
}

QVariant SettingTable::Row::converted(const QVariant &value) const
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
