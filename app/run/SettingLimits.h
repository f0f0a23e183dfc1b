#pragma once

#include <engine/DateTextSettings.h>

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// The limits of the run's settings, kept in this one place: the settings dialog gives them to
// its widgets, and every value that comes from a file (a configuration, the options file) is
// brought into them, so that no file can set what the dialog would never let through, such as
// a date shift of 0 that leaves the original dates in the output.
class SettingLimits
{
public:
    // Which of the limits below a setting keeps.
    enum class Limit { None, Factor, ShiftDays, Format };

    // Both scaling factors: 1 (no change) up to 2^53, with two decimals.
    static constexpr double minFactor = 1;
    static constexpr double maxFactor = 9007199254740992.0;
    static constexpr int factorDecimals = 2;
    // The maximum date shift: at least 30 days, so that dates always move, and at most about
    // a century, so that they stay dates of this era.
    static constexpr int minShiftDays = 30;
    static constexpr int maxShiftDays = 36500;
    // Every date format the user gives; far beyond any useful format, short enough that
    // reading or writing with it stays fast.
    static constexpr int maxFormatLength = 256;

    static double factor(double value);
    static int shiftDays(double value);
    static QString format(const QString &value);
    static vondrel::DateTextSettings dateText(vondrel::DateTextSettings settings);

    // value brought into the limit, converted as the settings dialog converts a setting with
    // that limit; any value as it is without one. corrected tells whether it had to change (a
    // number given as text is not a correction).
    static QVariant bounded(Limit limit, const QVariant &value, bool *corrected = nullptr);
    // The same with the limit of the setting key; values of other keys as they are.
    static QVariant bounded(const QString &key, const QVariant &value, bool *corrected = nullptr);
    // Bounds every limited setting that values holds; the keys that were corrected.
    static QStringList boundAll(QMap<QString, QVariant> &values);
};
