#pragma once

#include <QLatin1String>
#include <QString>
#include <QVariantMap>

namespace kivra {

// Value-map keys the framework keeps for itself. They are never applied to widgets and
// never saved.
inline constexpr QLatin1String kAutoVarPrefix {"::kivra_auto_var:"};
inline constexpr QLatin1String kWidgetDataPrefix {"::kivra_widget_data:"};
inline constexpr QLatin1String kObjectDataPrefix {"::kivra_object_data:"};

QString autoVarKey(const QString &name);
// Holds the WIDGET_INFO of the widgets registered under name.
QString widgetDataKey(const QString &name);
// Objects the framework makes for a window ("menus", "statusbar").
QString objectDataKey(const QString &name);

// The next automatic variable name ("::kivra_auto_var:1", ...); one count per process.
QString nextAutoVarKey();

bool isReservedKey(const QString &key);
// Removes every reserved key; nothing happens for a null map.
void stripReservedKeys(QVariantMap *vars);

} // namespace kivra
