#include "FillMenuFromListData.h"
#include "MenuRegistry.h"
#include "MenuTree.h"
#include "SetWidgetData.h"

#include <QActionGroup>
#include <QLoggingCategory>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QWidgetAction>

using namespace kivra;

namespace {

using Roles = std::vector<std::pair<Qt::ItemDataRole, QVariant>>;

T_LISTITEM item(const QString &text, bool checked, const QVariant &data, const Roles &roles = {})
{
    return {text, checked, data, roles};
}

QStringList checkedTexts(const QMenu &menu)
{
    QStringList texts;
    const QList<QAction *> actions = menu.actions();
    for (const QAction *action : actions)
        if (action->isChecked())
            texts << action->text();
    return texts;
}

QIcon redIcon()
{
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

QList<int> kinds(const std::vector<MenuEntry> &entries)
{
    QList<int> result;
    for (const MenuEntry &entry : entries)
        result << int(entry.index());
    return result;
}

} // namespace

class TestKivraMenus : public QObject
{
    Q_OBJECT

private slots:
    void buttonMenuSelection_data();
    void buttonMenuSelection();
    void buttonMenuItemRoles();
    void registry();
    void walkKindsAndListing();
    void cyclicMenuEnds();
    void valuesReachMenuActions();
};

void TestKivraMenus::buttonMenuSelection_data()
{
    QTest::addColumn<bool>("multiple");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("single: first checked only, exclusive")
        << false << false << QStringList {"b", "a", "c"} << QStringList {"b"};
    QTest::newRow("multiple keeps every checked item")
        << true << false << QStringList {"b", "a", "c"} << QStringList {"b", "a"};
    QTest::newRow("sorted") << false << true << QStringList {"a", "b", "c"} << QStringList {"b"};
}

void TestKivraMenus::buttonMenuSelection()
{
    QFETCH(bool, multiple);
    QFETCH(bool, sort);
    QFETCH(QStringList, order);
    QFETCH(QStringList, checked);

    T_LISTDATA list = {item("b", true, 2), item("a", true, 1), item("c", false, 3)};
    QMenu menu;
    menu.addAction(QStringLiteral("stale"));
    std::vector<QPointer<QAction>> created;
    fillMenuFromListData(list, &menu, multiple, sort, &created);
    // Refilled, as a second value does.
    fillMenuFromListData(list, &menu, multiple, sort, &created);

    QStringList texts;
    for (const QAction *action : menu.actions())
        texts << action->text();
    QCOMPARE(texts, order);
    QCOMPARE(checkedTexts(menu), checked);
    QCOMPARE(std::get<0>(list.front()), QStringLiteral("b"));
    QCOMPARE(std::get<1>(list[1]), multiple);
    QCOMPARE(created.size(), size_t(6));
    QCOMPARE(menu.findChildren<QActionGroup *>().size(), multiple ? 0 : 1);

    QAction *third = menu.actions().at(2);
    QCOMPARE(third->data(), QVariant(3));
    third->trigger();
    QCOMPARE(checkedTexts(menu).contains(QStringLiteral("b")), multiple);
}

void TestKivraMenus::buttonMenuItemRoles()
{
    const QIcon icon = redIcon();
    T_LISTDATA list = {
        item("one decoration", false, 1, {{Qt::DecorationRole, icon}}),
        item("two decorations", false, 2,
             {{Qt::DecorationRole, icon}, {Qt::DecorationRole, icon.pixmap(4)}}),
        item("tipped", false, 3,
             {{Qt::ToolTipRole, "Hilfe"},
              {Qt::CheckStateRole, Qt::Checked},
              {Qt::UserRole, "x"},
              {Qt::DisplayRole, "renamed"}}),
        item("last", false, 4),
    };
    QMenu menu;
    fillMenuFromListData(list, &menu, true, false, nullptr);
    const QList<QAction *> actions = menu.actions();
    QVERIFY(actions[0]->icon().isNull());
    QVERIFY(!actions[1]->icon().isNull());
    QCOMPARE(actions[2]->toolTip(), QStringLiteral("Hilfe"));
    QVERIFY(actions[2]->isChecked());
    QCOMPARE(actions[2]->data(), QVariant("x"));
    QCOMPARE(actions[2]->text(), QStringLiteral("renamed"));
    // A tool tip on any item, not only on the last, shows the menu's tool tips.
    QVERIFY(menu.toolTipsVisible());
}

void TestKivraMenus::registry()
{
    QVariantMap vars;
    QVERIFY(!findMenuActionById(&vars, "open"));

    QMenu menu(QStringLiteral("Datei"));
    menu.setProperty("menuid", "file");
    QAction *open = menu.addAction(QStringLiteral("Öffnen"));
    open->setProperty("menuid", "open");
    auto *widgetAction = new QWidgetAction(&menu);
    widgetAction->setProperty("menuid", "zoom");
    menu.addAction(widgetAction);
    registerMenu(&menu, &vars);
    registerMenu(&menu, &vars);
    QCOMPARE(menuObjects(&vars).size(), 1);

    QCOMPARE(findMenuActionById(&vars, "open"), open);
    QCOMPARE(findWidgetActionById(&vars, "zoom"), widgetAction);
    QVERIFY(!findWidgetActionById(&vars, "open"));
    QCOMPARE(findMenuById(&vars, "file"), &menu);
}

void TestKivraMenus::walkKindsAndListing()
{
    QMenu menu(QStringLiteral("Datei"));
    menu.addAction(QStringLiteral("Neu"));
    menu.addSeparator();
    QMenu *recent = menu.addMenu(QStringLiteral("Zuletzt"));
    recent->addAction(QStringLiteral("a.csv"));
    menu.addAction(new QWidgetAction(&menu));

    std::vector<MenuEntry> entries;
    walkMenuTree(&menu, 0, &entries);
    QCOMPARE(kinds(entries), QList<int>({1, 0, 0, 0, 1, 0, 0, 2}));
    QCOMPARE(std::get<QPointer<QMenu>>(entries[4]).data(), recent);

    QLoggingCategory::setFilterRules(QStringLiteral("vondrel.kivra.debug=true"));
    for (const char *line : {"[0] Datei (top-menu)", "[0] Neu (action)", "[0]  (separator)",
                             "[0] Zuletzt (menu)", "[1] -a.csv (action)", "[0]  (widgetaction)"})
        QTest::ignoreMessage(QtDebugMsg, line);
    walkMenuTree(&menu, 0, nullptr);
    QLoggingCategory::setFilterRules(QString());
}

void TestKivraMenus::cyclicMenuEnds()
{
    QMenu outer(QStringLiteral("A"));
    QMenu inner(QStringLiteral("B"));
    outer.addMenu(&inner);
    inner.addMenu(&outer);
    outer.addMenu(&outer);

    std::vector<MenuEntry> entries;
    walkMenuTree(&outer, 0, &entries);
    // A, the action and menu of B, B's action back to A (not walked again), A's own action.
    QCOMPARE(kinds(entries), QList<int>({1, 0, 1, 0, 1, 0, 1}));
}

void TestKivraMenus::valuesReachMenuActions()
{
    QVariantMap vars = {{"view_list", false}, {"view_grid", true}};
    QMenu menu;
    auto *group = new QActionGroup(&menu);
    for (const char *id : {"view_list", "view_grid"}) {
        QAction *action = menu.addAction(QString::fromLatin1(id));
        action->setCheckable(true);
        action->setProperty("menuid", id);
        group->addAction(action);
    }
    menu.actions().at(1)->setChecked(true);
    registerMenu(&menu, &vars);

    QVERIFY(setWidgetData(&vars, {{"view_list", 1}}, false));
    QVERIFY(menu.actions().at(0)->isChecked());
    QVERIFY(!menu.actions().at(1)->isChecked());
    QCOMPARE(vars.value("view_list"), QVariant(true));
    QCOMPARE(vars.value("view_grid"), QVariant(false));
    QVERIFY(!setWidgetData(&vars, {{"unknown", 1}}, false));
}

QTEST_MAIN(TestKivraMenus)
#include "tst_kivramenus.moc"
