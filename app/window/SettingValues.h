#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <vector>

struct RunSettings;

// The window's own values of the run's settings, one per row of the setting table, each
// starting at its row's default. The settings dialog's fields are bound to them by address,
// so they stay where they are for the window's whole life.
class SettingValues
{
public:
    SettingValues();
    Q_DISABLE_COPY_MOVE(SettingValues)

    // The value of a setting; invalid for a key that names none.
    QVariant value(const QString &key) const;
    // Setting key -> its value, for the settings dialog to bind its fields to.
    QMap<QString, QVariant *> bindings();
    // The settings as the run reads them, source by source as the table orders them: the
    // value map's entry where the row takes it from there and the map holds one, else the own
    // value; converted either way.
    void applyTo(RunSettings &settings, const QMap<QString, QVariant> &optionMap) const;

private:
    // In the table's order.
    std::vector<QVariant> m_values;
};
