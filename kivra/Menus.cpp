#include "Menus.h"

#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>

#include "KivraLog_p.h"
#include "ListData_p.h"
#include "Menus_p.h"

#include <QActionGroup>
#include <QIcon>
#include <QPixmap>
#include <QSet>
#include <QSignalBlocker>
#include <QStatusBar>

#include <algorithm>

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

class MenuWalk
{
public:
    explicit MenuWalk(std::vector<MenuEntry> *out)
        : m_out(out)
    { }

    void walk(QMenu *menu, int depth)
    {
        if (!menu || m_visited.contains(menu))
            return;
        m_visited.insert(menu);
        if (depth == 0)
            note(depth, QStringLiteral("top-menu"), menu->title(), QPointer<QMenu>(menu));
        const QList<QAction *> actions = menu->actions();
        for (QAction *action : actions) {
            if (m_out)
                m_out->push_back(QPointer<QAction>(action));
            if (action->isSeparator()) {
                list(depth, QStringLiteral("separator"), action->text());
            } else if (QMenu *submenu = action->menu()) {
                note(depth, QStringLiteral("menu"), submenu->title(), QPointer<QMenu>(submenu));
                walk(submenu, depth + 1);
            } else if (auto *widgetAction = qobject_cast<QWidgetAction *>(action)) {
                note(depth, QStringLiteral("widgetaction"), action->text(),
                     QPointer<QWidgetAction>(widgetAction));
            } else {
                list(depth, QStringLiteral("action"), action->text());
            }
        }
    }

private:
    // Collects the entry, or lists it when there is no collector.
    void note(int depth, const QString &kind, const QString &text, const MenuEntry &entry)
    {
        if (m_out)
            m_out->push_back(entry);
        else
            list(depth, kind, text);
    }

    void list(int depth, const QString &kind, const QString &text) const
    {
        if (!m_out)
            qCDebug(lcKivra).noquote() << menuEntryText(depth, kind, text);
    }

    std::vector<MenuEntry> *m_out;
    QSet<const QMenu *> m_visited;
};

using ItemRoles = std::vector<std::pair<Qt::ItemDataRole, QVariant>>;

void applyRole(QAction *action, Qt::ItemDataRole role, const QVariant &value)
{
    switch (role) {
    case Qt::DisplayRole:
        action->setText(value.toString());
        break;
    case Qt::DecorationRole:
        if (value.metaType() == QMetaType::fromType<QIcon>())
            action->setIcon(value.value<QIcon>());
        else if (value.metaType() == QMetaType::fromType<QPixmap>())
            action->setIcon(QIcon(value.value<QPixmap>()));
        break;
    case Qt::ToolTipRole:
        action->setToolTip(value.toString());
        break;
    case Qt::StatusTipRole:
        action->setStatusTip(value.toString());
        break;
    case Qt::WhatsThisRole:
        action->setWhatsThis(value.toString());
        break;
    case Qt::FontRole:
        action->setFont(value.value<QFont>());
        break;
    case Qt::CheckStateRole:
        action->setChecked(value.toInt() != 0);
        break;
    case Qt::UserRole:
        action->setData(value);
        break;
    default:
        break;
    }
}

// The item's roles without its first decoration pair: an action takes its icon only from a
// second one.
ItemRoles menuRoles(const ItemRoles &roles)
{
    ItemRoles result = roles;
    const auto decoration = std::find_if(result.begin(), result.end(), [](const auto &pair) {
        return pair.first == Qt::DecorationRole;
    });
    if (decoration != result.end())
        result.erase(decoration);
    return result;
}

bool hasToolTip(const ItemRoles &roles)
{
    return std::any_of(roles.begin(), roles.end(),
                       [](const auto &pair) { return pair.first == Qt::ToolTipRole; });
}

void storeChecked(QMap<QString, QVariant> *vars, const QString &name, const QAction *action)
{
    VariantBinding stored(vars, name, true);
    if (stored.isBound())
        *stored.data() = action->isChecked();
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

void walkMenuTree(QMenu *menu, int depth, std::vector<MenuEntry> *out)
{
    MenuWalk(out).walk(menu, depth);
}

void collectMenuEntries(std::vector<MenuEntry> *out, QMap<QString, QVariant> *vars,
                        std::vector<MenuEntryInMenu> *withTopMenu)
{
    const QList<QPointer<QObject>> menus = menuObjects(vars);
    for (const QPointer<QObject> &object : menus) {
        auto *menu = qobject_cast<QMenu *>(object.data());
        if (!menu)
            continue;
        std::vector<MenuEntry> entries;
        walkMenuTree(menu, 0, &entries);
        for (const MenuEntry &entry : entries) {
            if (out)
                out->push_back(entry);
            if (withTopMenu)
                withTopMenu->emplace_back(entry, menu);
        }
    }
}

QString menuEntryText(int depth, const QString &kind, const QString &text)
{
    return QStringLiteral("[%1] %2%3 (%4)").arg(depth).arg(QString(depth, u'-'), text, kind);
}

void fillMenuFromListData(T_LISTDATA &list, QMenu *menu, bool multipleSelection, bool sort,
                          std::vector<QPointer<QAction>> *created)
{
    if (!menu)
        return;
    const QSignalBlocker blocker(menu);
    const UpdatesOff updatesOff(menu);
    menu->clear();
    // A refill replaces the group of the previous fill.
    qDeleteAll(menu->findChildren<QActionGroup *>(QString(), Qt::FindDirectChildrenOnly));

    if (!multipleSelection)
        keepFirstChecked(list);
    QActionGroup *group = multipleSelection ? nullptr : new QActionGroup(menu);
    bool toolTips = false;
    for (const size_t i : displayOrder(list, sort)) {
        const auto &[text, checked, data, roles] = list[i];
        auto *action = new QAction(text, menu);
        action->setCheckable(true);
        action->setData(data);
        for (const auto &[role, value] : menuRoles(roles))
            applyRole(action, role, value);
        if (checked)
            action->setChecked(true);
        toolTips = toolTips || hasToolTip(roles);
        menu->addAction(action);
        if (group)
            group->addAction(action);
        if (created)
            created->push_back(action);
    }
    if (toolTips)
        menu->setToolTipsVisible(true);
}

// A menu action named by its "menuid" shows the value as its checked state. The value map
// keeps bools, as the actions' own triggers store them; checking one action of an exclusive
// group unchecks the others, so their entries follow.
bool applyMenuValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value)
{
    QAction *action = findMenuActionById(vars, name);
    if (!action)
        return false;
    action->setChecked(value.toBool());
    storeChecked(vars, name, action);
    if (const QActionGroup *group = action->actionGroup()) {
        const QList<QAction *> members = group->actions();
        for (const QAction *member : members) {
            const QString id = member->property(OptionKey::menuid.latin1()).toString();
            if (member != action && !id.isEmpty())
                storeChecked(vars, id, member);
        }
    }
    return true;
}

} // namespace kivra
