#include "MenuRegistry.h"

#include "MenuEntry.h"
#include "MenuTree.h"
#include <kivra/Options.h>
#include <kivra/Registry.h>

#include <QStatusBar>

namespace kivra {

namespace {

const QString &menusKey()
{
    static const QString key = objectDataKey(QStringLiteral("menus"));
    return key;
}

const QString &statusBarsKey()
{
    static const QString key = objectDataKey(QStringLiteral("statusbar"));
    return key;
}

template<class T>
QList<QPointer<T>> registered(const QMap<QString, QVariant> *vars, const QString &key)
{
    return vars ? vars->value(key).value<QList<QPointer<T>>>() : QList<QPointer<T>>();
}

template<class T>
void registerOnce(T *object, QMap<QString, QVariant> *vars, const QString &key)
{
    if (!object || !vars)
        return;
    QList<QPointer<T>> list = registered<T>(vars, key);
    if (list.contains(object))
        return;
    list.append(object);
    vars->insert(key, QVariant::fromValue(list));
}

// The object held by the first entry of kind T whose "menuid" is name.
template<class T>
T *findById(QMap<QString, QVariant> *vars, const QString &name)
{
    std::vector<MenuEntry> entries;
    collectMenuEntries(&entries, vars, nullptr);
    for (const MenuEntry &entry : entries) {
        const auto *pointer = std::get_if<QPointer<T>>(&entry);
        if (pointer && *pointer &&
            (*pointer)->property(OptionKey::menuid.latin1()).toString() == name)
            return *pointer;
    }
    return nullptr;
}

} // namespace

QList<QPointer<QObject>> menuObjects(const QMap<QString, QVariant> *vars)
{
    return registered<QObject>(vars, menusKey());
}

void registerMenu(QObject *menu, QMap<QString, QVariant> *vars)
{
    registerOnce(menu, vars, menusKey());
}

QList<QPointer<QStatusBar>> statusBars(const QMap<QString, QVariant> *vars)
{
    return registered<QStatusBar>(vars, statusBarsKey());
}

void registerStatusBar(QStatusBar *statusBar, QMap<QString, QVariant> *vars)
{
    registerOnce(statusBar, vars, statusBarsKey());
}

QAction *findMenuActionById(QMap<QString, QVariant> *vars, const QString &name)
{
    return findById<QAction>(vars, name);
}

QMenu *findMenuById(QMap<QString, QVariant> *vars, const QString &name)
{
    return findById<QMenu>(vars, name);
}

QWidgetAction *findWidgetActionById(QMap<QString, QVariant> *vars, const QString &name)
{
    return findById<QWidgetAction>(vars, name);
}

} // namespace kivra
