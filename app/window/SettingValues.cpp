#include "SettingValues.h"

#include <run/RunSettings.h>
#include <run/SettingTable.h>

// m_values holds one value per row, so the rows and the values are walked side by side.

SettingValues::SettingValues()
{
    const QList<SettingTable::Row> &rows = SettingTable::rows();
    m_values.reserve(std::size_t(rows.size()));
    for (const SettingTable::Row &row : rows)
        m_values.push_back(row.defaultValue);
}

QVariant SettingValues::value(const QString &key) const
{
    auto value = m_values.cbegin();
    for (const SettingTable::Row &row : SettingTable::rows()) {
        if (row.key == key)
            return *value;
        ++value;
    }
    return QVariant();
}

QMap<QString, QVariant *> SettingValues::bindings()
{
    QMap<QString, QVariant *> bound;
    auto value = m_values.begin();
    for (const SettingTable::Row &row : SettingTable::rows())
        bound.insert(row.key, &*value++);
    return bound;
}

void SettingValues::applyTo(RunSettings &settings, const QMap<QString, QVariant> &optionMap) const
{
    using Source = SettingTable::Source;
    for (const Source source : {Source::Engine, Source::Pass, Source::Window}) {
        auto own = m_values.cbegin();
        for (const SettingTable::Row &row : SettingTable::rows()) {
            if (row.source == source) {
                row.apply(settings,
                          row.converted(source == Source::Window ? *own
                                                                 : optionMap.value(row.key, *own)));
            }
            ++own;
        }
    }
}
