#include "SignalWiring_p.h"

#include <kivra/Callbacks.h>
#include <kivra/FieldFlags.h>
#include <kivra/Handlers.h>
#include <kivra/Menus.h>
#include <kivra/NamedSettings.h>
#include <kivra/Options.h>
#include <kivra/ValueExchange.h>

#include "FieldPreparation_p.h"
#include "FormBuild_p.h"
#include "WidgetKinds_p.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace kivra {

namespace {

// Time counted by every window timer of the process together; -1 until the first tick.
qint64 elapsedTimerTime = -1;

constexpr int kDefaultTimerInterval = 250;

bool isNamed(const FormBuild &build, const Field &field)
{
    return !field.record.name.isEmpty() && build.vars;
}

// Calls the change handler of value widgets with the state it was connected with.
struct ValueChange
{
    INFO field;
    INFO windowRecord;
    QPointer<QWidget> window;
    QPointer<QWidget> widget;
    QMap<QString, QVariant> *vars;
    QSharedPointer<QMap<QString, QVariant>> keepAlive;
    QString name;

    void operator()() const
    {
        onWidgetValueChanged(field, windowRecord, window, widget, QVariant(), vars, name);
    }
};

// The one dispatch by widget class: the widget-kind table says which signals reach which
// handler.
void connectChange(QWidget *widget, const ChangeTarget &target)
{
    if (const WidgetKind *kind = widgetKindOf(widget); kind && kind->connectChange)
        kind->connectChange(*widget, target);
}

SettingSelectorContext selectorContext(const FormBuild &build, QComboBox *combo)
{
    SettingSelectorContext context;
    context.window = build.window;
    context.comboBox = combo;
    context.windowOptions = build.windowOptions;
    context.vars = build.vars;
    context.keepAlive = build.ownedVars;
    context.closeSave = build.closeSave;
    return context;
}

QString menuIdOf(const QObject *object)
{
    return object->property(OptionKey::menuid.latin1()).toString();
}

// Checkable actions with a "menugroupno" of 0 or more and no group yet join the exclusive
// group of that number.
void groupActions(FormBuild &build, const std::vector<MenuEntry> &entries)
{
    QMap<int, QActionGroup *> groups;
    for (const MenuEntry &entry : entries) {
        const auto *pointer = std::get_if<QPointer<QAction>>(&entry);
        QAction *action = pointer ? pointer->data() : nullptr;
        if (!action || !action->isCheckable() || action->actionGroup())
            continue;
        bool isNumber = false;
        const int number = action->property(OptionKey::menugroupno.latin1()).toInt(&isNumber);
        if (!isNumber || number < 0)
            continue;
        QActionGroup *&group = groups[number];
        // The window owns the groups, so they go with the form.
        if (!group)
            group = new QActionGroup(build.window.data());
        group->addAction(action);
    }
}

// Whether the action's tool tip is one of its own and not the text QAction falls back to.
bool hasOwnToolTip(const QAction *action)
{
    QString text = action->text();
    text.remove(QLatin1String("..."));
    text.remove(QLatin1Char('&'));
    const QString tip = action->toolTip();
    return !tip.isEmpty() && tip != text.trimmed();
}

void showToolTips(const std::vector<MenuEntry> &entries)
{
    for (const MenuEntry &entry : entries) {
        const auto *pointer = std::get_if<QPointer<QMenu>>(&entry);
        QMenu *menu = pointer ? pointer->data() : nullptr;
        if (!menu)
            continue;
        const QList<QAction *> actions = menu->actions();
        if (std::any_of(actions.cbegin(), actions.cend(), hasOwnToolTip))
            menu->setToolTipsVisible(true);
    }
}

// The menu the action sits in directly, else the registered menu it was found under.
QMenu *menuHolding(const QAction *action, QMenu *topMenu)
{
    const QList<QObject *> holders = action->associatedObjects();
    for (QObject *holder : holders)
        if (auto *menu = qobject_cast<QMenu *>(holder))
            return menu;
    return topMenu;
}

void wireMenuAction(FormBuild &build, QAction *action, QMenu *menu)
{
    const QString name = menuIdOf(action);
    if (!name.isEmpty()) {
        const auto stored = build.vars->constFind(name);
        if (stored == build.vars->constEnd())
            build.vars->insert(name, action->isChecked());
        else if (stored->isValid())
            action->setChecked(stored->toBool());
    }
    // The action stands for a field of its own, named by its "menuid".
    Field field;
    field.record = INFO(kNoElement, {}, QString(), QVariant(), name);
    HandlerContext context = handlerContext(build, field, menu);
    context.action = action;
    QObject::connect(action, &QAction::triggered,
                     [context](bool checked) { onActionTriggered(context, checked); });
}

void onWindowTimer(const INFO &timerRecord, const INFO &windowRecord,
                   const QPointer<QWidget> &window, const QPointer<QTimer> &timer,
                   QMap<QString, QVariant> *vars)
{
    QVariant oldValue;
    if (elapsedTimerTime < 0) {
        elapsedTimerTime = 0;
        oldValue = 0;
    } else {
        oldValue = elapsedTimerTime;
        elapsedTimerTime += timer ? timer->interval() : 0;
    }
    QVariant newValue = elapsedTimerTime;
    fireCallbacks(timerRecord, windowRecord, window, nullptr, QVariant::fromValue(timer), kTimer,
                  vars, &newValue, &oldValue);
}

void createWindowTimer(FormBuild &build)
{
    if (!build.windowOptions.contains(OptionKey::timer))
        return;
    const QVariantList setting = Option::timer(build.windowOptions);
    const int interval = setting.isEmpty() ? kDefaultTimerInterval : setting.first().toInt();
    const QString name = setting.size() < 2 ? QString() : setting.at(1).toString();
    auto *timer = new QTimer(build.helperParent());
    timer->setInterval(interval);
    build.windowTimer = timer;
    const INFO timerRecord(kNoElement, {}, QString(), QVariant(), name);
    QObject::connect(timer, &QTimer::timeout, build.helperParent(),
                     [timerRecord, windowRecord = build.windowRecord, window = build.window,
                      guard = QPointer<QTimer>(timer), vars = build.vars,
                      keepAlive = build.ownedVars] {
                         onWindowTimer(timerRecord, windowRecord, window, guard, vars);
                     });
}

void createNotificationTimer(FormBuild &build)
{
    if (build.initialNotifications.isEmpty())
        return;
    auto *timer = new QTimer(build.helperParent());
    timer->setInterval(0);
    build.notificationTimer = timer;
    QObject::connect(timer, &QTimer::timeout, build.helperParent(),
                     [guard = QPointer<QTimer>(timer), entries = build.initialNotifications,
                      keepAlive = build.ownedVars] {
                         if (guard)
                             guard->stop();
                         for (const ReconnectEntry &entry : entries)
                             if (entry.widget)
                                 reemitChange(entry.widget, entry.onlyIfSet, entry.immediate);
                     });
}

} // namespace

HandlerContext handlerContext(const FormBuild &build, const Field &field, QWidget *widget)
{
    HandlerContext context = makeHandlerContext(field.record, build.windowRecord, build.window,
                                                widget, build.vars, build.ownedVars);
    context.options = field.options;
    context.closeSave = build.closeSave;
    context.caption = field.options.value(OptionKey::plaintitle).toString();
    return context;
}

void connectValueWidget(const FormBuild &build, const Field &field, QWidget *widget)
{
    if (!isNamed(build, field) || !widget)
        return;
    const ValueChange change {field.record, build.windowRecord, build.window,     widget,
                              build.vars,   build.ownedVars,    field.record.name};
    connectChange(widget, {change, handlerContext(build, field, widget)});
}

void connectGroupBox(const FormBuild &build, const Field &field, QGroupBox *box, QLayout *inner)
{
    if (!isNamed(build, field))
        return;
    HandlerContext context = handlerContext(build, field, box);
    context.innerLayout = inner;
    QObject::connect(box, &QGroupBox::clicked,
                     [context](bool checked) { onGroupBoxClicked(context, checked); });
}

void connectBrowseButton(const FormBuild &build, const Field &field, QPushButton *button,
                         QLineEdit *edit)
{
    HandlerContext context = handlerContext(build, field, button);
    context.lineEdit = edit;
    QObject::connect(button, &QAbstractButton::clicked, [context] { onBrowseClicked(context); });
}

void connectPushButton(const FormBuild &build, const Field &field, QPushButton *button)
{
    const HandlerContext context = handlerContext(build, field, button);
    QObject::connect(button, &QAbstractButton::clicked, [context] { onButtonClicked(context); });
}

void connectColorButton(const FormBuild &build, const Field &field, QPushButton *button)
{
    const HandlerContext context = handlerContext(build, field, button);
    QObject::connect(button, &QAbstractButton::clicked, [context] { chooseColor(context); });
}

void connectFontButton(const FormBuild &build, const Field &field, QPushButton *button)
{
    const HandlerContext context = handlerContext(build, field, button);
    QObject::connect(button, &QAbstractButton::clicked, [context] { chooseFont(context); });
}

void connectSettingSelector(const FormBuild &build, const Field &field, QComboBox *combo,
                            QPushButton *plus, QPushButton *minus)
{
    Q_UNUSED(field);
    const SettingSelectorContext context = selectorContext(build, combo);
    QObject::connect(combo, &QComboBox::currentIndexChanged,
                     [context](int index) { onSettingSelected(context, index); });
    QObject::connect(plus, &QAbstractButton::clicked, [context] { onNewSetting(context); });
    QObject::connect(minus, &QAbstractButton::clicked, [context] { onDeleteSetting(context); });
}

void connectMenuButtonActions(const FormBuild &build, const Field &field, QPushButton *button,
                              const QList<QPointer<QAction>> &actions)
{
    HandlerContext context = handlerContext(build, field, button);
    context.menuActions = actions;
    for (const QPointer<QAction> &action : actions) {
        if (!action)
            continue;
        HandlerContext own = context;
        own.action = action;
        QObject::connect(action, &QAction::triggered,
                         [own](bool checked) { onButtonMenuActionTriggered(own, checked); });
    }
}

void connectTabWidget(const HandlerContext &context, QTabWidget *tabWidget)
{
    connectChange(tabWidget, {{}, context});
}

void connectCallerAction(const FormBuild &build, const Field &field, QWidget *host, QAction *action)
{
    if (!isNamed(build, field))
        return;
    HandlerContext context = handlerContext(build, field, host);
    context.action = action;
    QObject::connect(action, &QAction::triggered,
                     [context](bool checked) { onActionTriggered(context, checked); });
}

void wireMenuActions(FormBuild &build)
{
    std::vector<MenuEntry> entries;
    std::vector<MenuEntryInMenu> inMenus;
    collectMenuEntries(&entries, build.vars, &inMenus);
    groupActions(build, entries);

    QList<QAction *> wired;
    for (const QPointer<QAction> &action : std::as_const(build.wiredActions))
        if (action)
            wired.append(action);
    for (const MenuEntryInMenu &entry : inMenus) {
        const auto *pointer = std::get_if<QPointer<QAction>>(&entry.first);
        QAction *action = pointer ? pointer->data() : nullptr;
        if (!action || wired.contains(action))
            continue;
        wired.append(action);
        wireMenuAction(build, action, menuHolding(action, entry.second));
    }
    showToolTips(entries);
}

void createTimers(FormBuild &build)
{
    createWindowTimer(build);
    createNotificationTimer(build);
}

void startTimers(const FormBuild &build)
{
    if (build.windowTimer)
        build.windowTimer->start();
    if (build.notificationTimer)
        build.notificationTimer->start();
}

} // namespace kivra
