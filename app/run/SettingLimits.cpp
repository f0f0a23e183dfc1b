#include "SettingLimits.h"

#include "SettingTable.h"

#include <cmath>

namespace {

// The number a value stands for; NaN when it is none.
double numberOf(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : std::nan("");
}

} // namespace

double SettingLimits::factor(double value)
{
    // No number at all is taken as the factor that changes nothing.
    if (std::isnan(value))
        return minFactor;
    const double scale = std::pow(10.0, factorDecimals);
    return std::round(qBound(minFactor, value, maxFactor) * scale) / scale;
}

int SettingLimits::shiftDays(double value)
{
    if (std::isnan(value))
        return 365;
    return int(std::lround(qBound(double(minShiftDays), value, double(maxShiftDays))));
}

QString SettingLimits::format(const QString &value)
{
    return value.left(maxFormatLength);
}

vondrel::DateTextSettings SettingLimits::dateText(vondrel::DateTextSettings settings)
{
    for (QString *text : {&settings.dateToTextFmt, &settings.dateTimeToTextFmt,
                          &settings.textToDateFmt, &settings.textToDateTimeFmt})
        *text = format(*text);
    return settings;
}

QVariant SettingLimits::bounded(Limit limit, const QVariant &value, bool *corrected)
{
    QVariant result = value;
    bool changed = false;
    switch (limit) {
    case Limit::None:
        break;
    case Limit::Factor: {
        const double number = numberOf(value);
        result = factor(number);
        changed = result.toDouble() != number;
        break;
    }
    case Limit::ShiftDays: {
        const double number = numberOf(value);
        result = shiftDays(number);
        changed = result.toInt() != number;
        break;
    }
    case Limit::Format: {
        const QString text = value.toString();
        result = format(text);
        changed = result.toString().size() != text.size();
        break;
    }
    }
    if (corrected)
        *corrected = changed;
    return result;
}

QVariant SettingLimits::bounded(const QString &key, const QVariant &value, bool *corrected)
{
    const SettingTable::Row *row = SettingTable::find(key);
    return bounded(row ? row->limit : Limit::None, value, corrected);
}

QStringList SettingLimits::boundAll(QMap<QString, QVariant> &values)
{
    QStringList corrected;
    for (auto it = values.begin(); it != values.end(); ++it) {
        bool changed = false;
        const QVariant value = bounded(it.key(), it.value(), &changed);
        if (changed) {
            it.value() = value;
            corrected.append(it.key());
        }
    }
    return corrected;
}
