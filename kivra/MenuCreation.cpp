#include "WidgetCreation_p.h"

#include <kivra/FieldFlags.h>
#include <kivra/ListData.h>
#include <kivra/Menus.h>
#include <kivra/Registry.h>

#include "FieldPreparation_p.h"
#include "FormBuild_p.h"
#include "ObjectValue_p.h"
#include "SignalWiring_p.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <vector>

namespace kivra {

namespace {

bool isMenuHost(const QWidget *widget)
{
    return qobject_cast<const QMenuBar *>(widget) || qobject_cast<const QToolButton *>(widget) ||
        qobject_cast<const QPushButton *>(widget);
}

// Where a caller's menu or action goes: the newest earlier field's menu bar or button, else
// the main window's menu bar, else a menu bar of this field's own.
QWidget *menuHost(FormBuild &build, Field &field)
{
    for (auto list = build.fieldWidgets.crbegin(); list != build.fieldWidgets.crend(); ++list)
        for (const QPointer<QWidget> &widget : *list)
            if (isMenuHost(widget))
                return widget;
    if (build.mainWindow)
        return build.mainWindow->menuBar();
    auto *bar = new QMenuBar;
    registerFieldWidget(build, field, bar, kMenuBar, Enrolment::Part, kMenuBar);
    return bar;
}

QMenu *buttonMenu(QWidget *button)
{
    if (auto *push = qobject_cast<QPushButton *>(button))
        return push->menu();
    if (auto *tool = qobject_cast<QToolButton *>(button))
        return tool->menu();
    return nullptr;
}

void setButtonMenu(QWidget *button, QMenu *menu)
{
    if (auto *push = qobject_cast<QPushButton *>(button))
        push->setMenu(menu);
    else if (auto *tool = qobject_cast<QToolButton *>(button))
        tool->setMenu(menu);
}

// The menu an action joins: a menu bar's last menu, or the button's menu; made when missing.
QMenu *menuForAction(QWidget *host)
{
    if (auto *bar = qobject_cast<QMenuBar *>(host)) {
        const QList<QAction *> actions = bar->actions();
        if (!actions.isEmpty() && actions.last()->menu())
            return actions.last()->menu();
        auto *menu = new QMenu(bar);
        bar->addMenu(menu);
        return menu;
    }
    if (QMenu *menu = buttonMenu(host))
        return menu;
    auto *menu = new QMenu(host);
    setButtonMenu(host, menu);
    return menu;
}

void prepareMenu(FormBuild &build, QMenu *menu)
{
    registerMenu(menu, build.vars);
    walkMenuTree(menu, 0, nullptr);
}

} // namespace

void createMenuBar(FormBuild &build, Field &field)
{
    auto *bar = objectFromValue<QMenuBar>(field.record.value);
    if (!bar && build.mainWindow) {
        build.mainWindow->menuBar();
        return;
    }
    if (!bar)
        bar = new QMenuBar;
    registerFieldWidget(build, field, bar, kMenuBar, Enrolment::Part);
}

void createCallerMenu(FormBuild &build, Field &field)
{
    auto *menu = objectFromValue<QMenu>(field.record.value);
    if (!menu)
        return;
    QWidget *host = menuHost(build, field);
    if (auto *bar = qobject_cast<QMenuBar *>(host))
        bar->addMenu(menu);
    else if (QMenu *existing = buttonMenu(host))
        existing->addMenu(menu);
    else
        setButtonMenu(host, menu);
    prepareMenu(build, menu);
}

void createCallerAction(FormBuild &build, Field &field)
{
    auto *action = objectFromValue<QAction>(field.record.value);
    if (!action)
        return;
    QWidget *host = menuHost(build, field);
    QMenu *menu = menuForAction(host);
    menu->addAction(action);
    prepareMenu(build, menu);
    if (field.record.name.isEmpty() || !build.vars)
        return;
    build.wiredActions.append(action);
    action->setChecked(field.start.toBool());
    connectCallerAction(build, field, host, action);
}

void createStatusBar(FormBuild &build, Field &field)
{
    auto *bar = objectFromValue<QStatusBar>(field.record.value);
    if (!bar && build.mainWindow) {
        registerStatusBar(build.mainWindow->statusBar(), build.vars);
        return;
    }
    if (!bar) {
        bar = new QStatusBar;
        bar->addWidget(new QLabel, 100);
        bar->setSizeGripEnabled(false);
    }
    if (build.mainWindow) {
        build.mainWindow->setStatusBar(bar);
        // The main window holds it; a layout must not take it away.
        field.unplaced.append(bar);
    }
    registerStatusBar(bar, build.vars);
    registerFieldWidget(build, field, bar, kStatusBar, Enrolment::Part);
}

void createMenuButton(FormBuild &build, Field &field)
{
    const FieldFlags &flags = field.record.flags;
    auto *button = new QPushButton;
    auto *menu = new QMenu(button);
    button->setMenu(menu);
    button->setAutoDefault(hasFlags(flags, kDefaultButton));
    button->setDefault(hasFlags(flags, kDefaultButton));
    std::vector<QPointer<QAction>> created;
    ListDataBinding items(field.start);
    if (items.isBound())
        fillMenuFromListData(*items.data(), menu, hasFlags(flags, kMultiSelect),
                             hasFlags(flags, kSortItems), &created);
    field.captionPairs = {{nullptr, {}}, {button, {}}};
    registerFieldWidget(build, field, button, kMenuButton, Enrolment::Value);
    connectMenuButtonActions(build, field, button,
                             QList<QPointer<QAction>>(created.cbegin(), created.cend()));
}

} // namespace kivra
