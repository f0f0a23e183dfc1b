#include "MenuTree.h"

#include "KivraLog_p.h"
#include "MenuRegistry.h"

#include <QSet>

namespace kivra {

namespace {

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

} // namespace

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

} // namespace kivra
