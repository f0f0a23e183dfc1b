#pragma once

#include <kivra/Records.h>
#include <run/SettingTable.h>

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

class QWidget;

// The settings dialog "Einstellungen:": it edits the run's 18 settings in place, in the
// window's own values, and hands them to the window's value map when accepted.
class SettingsDialog
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    using Conversion = SettingTable::Conversion;
    using Setting = SettingTable::Row;

    // Setting key -> the window's value that the dialog edits; every key must be bound.
    using Values = QMap<QString, QVariant *>;

    // The 18 settings in the order in which they are read and written.
    static const QList<Setting> &settings() { return SettingTable::rows(); }

    // Each value becomes the map's entry for its key when the map holds one, else itself,
    // converted either way: the run then reads the same settings the dialog shows.
    static void takeFromOptionMap(const Values &values, const QMap<QString, QVariant> &optionMap);
    static void storeIntoOptionMap(const Values &values, QMap<QString, QVariant> &optionMap);

    // The caption of a setting's field; the key itself for a key that names no setting.
    static QString caption(const QString &key);

    // The dialog's window record and its 48 field records, bound to values.
    static kivra::INFO windowRecord();
    static QList<kivra::INFO> fields(const Values &values);

    // Runs the dialog modally over parent. Accepted ("Beenden" or closing the window): the
    // map takes the edited values and the result is true. Cancelled: the values are put back
    // as they were before it opened and the map is untouched.
    static bool exec(QWidget *parent, const Values &values, QMap<QString, QVariant> &optionMap);
};
