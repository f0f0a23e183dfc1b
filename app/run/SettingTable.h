#pragma once

#include "SettingLimits.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct RunSettings;

// The run's 18 settings, each declared once: the settings dialog, the window's values, the
// options file, configuration files and the run take from here which settings there are and
// how each is read, limited, captioned and handed over. A new setting is one row here and
// its field in the settings dialog's form description.
class SettingTable
{
public:
    // How a value is read whenever it moves between a file, the value map, the settings
    // dialog and the run.
    enum class Conversion { Double, Bool, Int, String };

    // Where the run takes a setting from; the run reads them in this order.
    enum class Source {
        // Builds the engine: the value map's entry, or the window's own value without one.
        Engine,
        // The pass and its writers, read the same way once the engine is built.
        Pass,
        // The window's own value, which the settings dialog and every load keep in step
        // with the value map.
        Window,
    };

    struct Row
    {
        // Its key in the value map, the options file and configuration files.
        QString key;
        Conversion conversion;
        // The window's value until the settings dialog or a file sets it.
        QVariant defaultValue;
        SettingLimits::Limit limit;
        // The caption of its field in the settings dialog, translated in the context "Dialog";
        // the "Info:" box names a corrected setting by it.
        const char *caption;
        Source source;
        // Hands the converted value to the run's setting.
        void (*apply)(RunSettings &settings, const QVariant &value);

        QVariant converted(const QVariant &value) const;
    };

    // In the order in which the settings dialog and configuration files read and write them.
    static const QList<Row> &rows();
    static QStringList keys();
    // The row of key; null when key names none of the settings.
    static const Row *find(const QString &key);
};
