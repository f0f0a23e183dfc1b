#include "Handlers.h"

#include <kivra/Callbacks.h>
#include <kivra/DialogHook.h>
#include <kivra/FieldFlags.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Placement.h>
#include <kivra/Selection.h>

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QUrl>

#include "MapValue_p.h"
#include "TypeCodes_p.h"

namespace kivra {

namespace {

using Vars = QMap<QString, QVariant>;

// The before-moment of the protocol: asked only for a field with kAskBefore.
bool allowed(const HandlerContext &context, CallbackType type, const QVariant &value,
             QVariant *newValue, const QVariant *oldValue)
{
    if (!hasFlags(context.field.flags, kAskBefore))
        return true;
    return askCallbacks(context.field, context.windowRecord, context.window, context.widget, value,
                        type, context.vars, newValue, oldValue);
}

void fireAfter(const HandlerContext &context, CallbackType type, const QVariant &value,
               QVariant *newValue, const QVariant *oldValue)
{
    fireCallbacks(context.field, context.windowRecord, context.window, context.widget, value, type,
                  context.vars, newValue, oldValue);
}

bool isNamedBy(const QVariant &data, const QVariantList &selection)
{
    for (const QVariant &value : selection)
        if (selectionMatches(data, value))
            return true;
    return false;
}

// The user data of the checked (checkList) or selected items, in item order.
QVariantList chosenItemData(const QListWidget *list, bool checkList)
{
    QVariantList chosen;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem *item = list->item(i);
        if (checkList ? item->checkState() == Qt::Checked : item->isSelected())
            chosen.append(item->data(Qt::UserRole));
    }
    return chosen;
}

// Makes the list show the selection, with its signals blocked.
void showListSelection(QListWidget *list, const QVariantList &selection, bool checkList)
{
    const QSignalBlocker blocker(list);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        const bool on = isNamedBy(item->data(Qt::UserRole), selection);
        if (checkList)
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        else
            item->setSelected(on);
    }
}

// The check list and the selection list share one protocol: the chosen items are the new
// value, the list data's selection the old one.
void onListChanged(const HandlerContext &context, QListWidget *changedList, bool checkList)
{
    // The callbacks may take the list away.
    const QPointer<QListWidget> list = changedList;
    const QVariantList chosen = chosenItemData(list, checkList);
    QVariant newValue = chosen;
    const QVariant oldValue = selectedValues(context.vars, context.name);
    if (!allowed(context, kBeforeDataChanged, {}, &newValue, &oldValue)) {
        if (list)
            showListSelection(list, oldValue.toList(), checkList);
        return;
    }
    const bool single = !hasFlags(context.field.flags, kMultiSelect);
    if (list && newValue != QVariant(chosen))
        showListSelection(list, newValue.toList(), checkList);
    storeListSelection(context.vars, context.name, newValue.toList(), single);
    fireAfter(context, kAfterDataChanged, {}, &newValue, &oldValue);
}

QVariant actionValue(QAction *action)
{
    return QVariant::fromValue(action);
}

// Gives the named actions of a group their stored checked states again, with their signals
// blocked, so that a refused radio choice leaves the group as it was.
void restoreGroup(const HandlerContext &context, const QActionGroup *group)
{
    const QList<QAction *> actions = group->actions();
    for (QAction *member : actions) {
        const QString id = member->property(OptionKey::menuid.latin1()).toString();
        if (id.isEmpty() || member == context.action)
            continue;
        const QVariant stored = storedMapValue(context.vars, id);
        if (!stored.isValid())
            continue;
        const QSignalBlocker blocker(member);
        member->setChecked(stored.toBool());
    }
}

void openWithDesktop(QWidget *window, const QString &text)
{
    if (text.isEmpty())
        return;
    const QUrl guessed = QUrl::fromUserInput(text, QString());
    DialogHook::openUrlOrSay(
        window, guessed.isLocalFile() ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode));
}

// The file or directory chooser of a browse or chooser button; an empty text when cancelled
// or when the button has no chooser.
QString choosePath(const HandlerContext &context, const QString &title, const QString &start)
{
    const QString filter = Option::filefilter(context.options);
    switch (buttonAction(context.typeCode)) {
    case ButtonAction::ChooseDirectory:
        return DialogHook::getExistingDirectory(context.window, title, start);
    case ButtonAction::ChooseOpenFile:
        return DialogHook::getOpenFileName(
            context.window, title, start.isEmpty() ? Option::currentdir(context.options) : start,
            filter);
    case ButtonAction::ChooseSaveFile:
        return DialogHook::getSaveFileName(context.window, title, start, filter);
    default:
        return {};
    }
}

// OK, Beenden and Abbrechen: the close sequence, then the window's own ending.
void closeWith(const HandlerContext &context, CallbackType code)
{
    if (!closeWindow(context.widget, context.window, code, context.windowRecord, context.field,
                     context.vars, &context.closeSave))
        return;
    const bool accepted = code == kAccept;
    if (context.dialog) {
        if (accepted)
            context.dialog->accept();
        else
            context.dialog->reject();
    } else if (context.mainWindow) {
        closeDecidedMainWindow(context.mainWindow, accepted ? 1 : 0);
    }
}

} // namespace

HandlerContext makeHandlerContext(const INFO &field, const INFO &windowRecord, QWidget *window,
                                  QWidget *widget, QMap<QString, QVariant> *vars,
                                  const QSharedPointer<QMap<QString, QVariant>> &keepAlive)
{
    HandlerContext context;
    context.field = field;
    context.windowRecord = windowRecord;
    context.window = window;
    context.dialog = qobject_cast<QDialog *>(window);
    context.mainWindow = qobject_cast<QMainWindow *>(window);
    context.widget = widget;
    context.vars = vars;
    context.keepAlive = keepAlive;
    context.name = field.name;
    context.options = field.options.toMap();
    context.typeCode = int(field.type);
    return context;
}

void onGroupBoxClicked(const HandlerContext &context, bool checked)
{
    QVariant newValue = checked;
    const QVariant oldValue = !checked;
    if (!allowed(context, kBeforeDataChanged, {}, &newValue, &oldValue)) {
        if (auto *box = qobject_cast<QGroupBox *>(context.widget.data())) {
            const QSignalBlocker blocker(box);
            box->setChecked(!checked);
        }
        return;
    }
    if (hasFlags(context.field.flags, kHideUnchecked) && context.innerLayout)
        setLayoutWidgetsVisible(context.innerLayout, checked);
    storeMapValue(context.vars, context.name, checked ? 1 : 0, MissingEntry::Create);
    fireAfter(context, kAfterDataChanged, {}, &newValue, &oldValue);
}

void onTabChanged(const HandlerContext &context, int index)
{
    int former = -1;
    if (context.vars && !context.name.isEmpty()) {
        if (!context.vars->contains(context.name))
            context.vars->insert(context.name, -1);
        bool isNumber = false;
        const int stored = storedMapValue(context.vars, context.name).toInt(&isNumber);
        if (isNumber)
            former = stored;
    }
    QVariant newValue = index;
    const QVariant oldValue = former;
    if (!allowed(context, kKillActive, {}, &newValue, &oldValue)) {
        if (auto *tabs = qobject_cast<QTabWidget *>(context.widget.data())) {
            const QSignalBlocker blocker(tabs);
            tabs->setCurrentIndex(former);
        }
        return;
    }
    storeMapValue(context.vars, context.name, index, MissingEntry::Create);
    fireAfter(context, kSetActive, {}, &newValue, &oldValue);
}

void onListItemChanged(const HandlerContext &context, QListWidgetItem *item)
{
    QListWidget *list = item ? item->listWidget() : nullptr;
    if (!list)
        return;
    // One tick at a time. An item that was unticked (or re-emitted without a tick) leaves the
    // others alone, so the one ticked item of a restored list survives.
    if (!hasFlags(context.field.flags, kMultiSelect) && item->checkState() == Qt::Checked) {
        const QSignalBlocker blocker(list);
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i) != item)
                list->item(i)->setCheckState(Qt::Unchecked);
    }
    onListChanged(context, list, true);
}

void onListSelectionChanged(const HandlerContext &context)
{
    if (auto *list = qobject_cast<QListWidget *>(context.widget.data()))
        onListChanged(context, list, false);
}

void onComboIndexChanged(const HandlerContext &context)
{
    const QPointer<QComboBox> combo = qobject_cast<QComboBox *>(context.widget.data());
    if (!combo)
        return;
    const QVariant shown = combo->currentData(Qt::UserRole);
    QVariant newValue = shown;
    const QVariant oldValue = firstSelectedValue(context.vars, context.name);
    const auto show = [&combo](const QVariant &data) {
        if (!combo)
            return;
        const QSignalBlocker blocker(combo.data());
        combo->setCurrentIndex(
            combo->findData(data, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive));
    };
    if (!allowed(context, kBeforeDataChanged, {}, &newValue, &oldValue)) {
        show(oldValue);
        return;
    }
    if (newValue != shown)
        show(newValue);
    storeListSelection(context.vars, context.name,
                       newValue.isValid() ? QVariantList {newValue} : QVariantList(), true);
    fireAfter(context, kAfterDataChanged, {}, &newValue, &oldValue);
}

void onActionTriggered(const HandlerContext &context, bool checked)
{
    const QVariant value = actionValue(context.action);
    QVariant newValue = checked;
    if (!context.vars || context.name.isEmpty()) {
        const QVariant noValue;
        fireAfter(context, kAfterAction, value, &newValue, &noValue);
        return;
    }
    const QVariant oldValue = storedMapValue(context.vars, context.name);
    const QPointer<QActionGroup> group = context.action ? context.action->actionGroup() : nullptr;
    if (!allowed(context, kBeforeAction, value, &newValue, &oldValue)) {
        if (context.action) {
            const QSignalBlocker blocker(context.action);
            context.action->setChecked(oldValue.toBool());
        }
        if (group)
            restoreGroup(context, group);
        return;
    }
    storeMapValue(context.vars, context.name, newValue.toBool(), MissingEntry::Create);
    if (group) {
        const QList<QAction *> actions = group->actions();
        for (const QAction *member : actions) {
            const QString id = member->property(OptionKey::menuid.latin1()).toString();
            if (!id.isEmpty())
                storeMapValue(context.vars, id, member->isChecked(), MissingEntry::Create);
        }
    }
    fireAfter(context, kAfterAction, value, &newValue, &oldValue);
}

void onButtonMenuActionTriggered(const HandlerContext &context, bool checked)
{
    QAction *action = context.action;
    if (!action)
        return;
    const QVariant value = actionValue(action);
    const QVariant data = action->data();
    QVariant newValue = data;
    const QVariant oldValue = data;
    if (!allowed(context, kBeforeAction, value, &newValue, &oldValue)) {
        const ListDataBinding list(context.vars, context.name);
        if (!list.isBound())
            return;
        for (const auto &[text, selected, itemData, roles] : *list.data()) {
            for (const QPointer<QAction> &menuAction : context.menuActions) {
                if (menuAction && menuAction->data() == itemData) {
                    const QSignalBlocker blocker(menuAction.data());
                    menuAction->setChecked(selected);
                    break;
                }
            }
        }
        return;
    }
    {
        ListDataBinding list(context.vars, context.name, true);
        if (list.isBound()) {
            const bool multi = hasFlags(context.field.flags, kMultiSelect);
            for (auto &[text, selected, itemData, roles] : *list.data()) {
                if (!multi)
                    selected = itemData == data;
                else if (itemData == data)
                    selected = checked;
            }
        }
    }
    fireAfter(context, kAfterAction, value, &newValue, &oldValue);
}

void chooseColor(const HandlerContext &context)
{
    const QVariant stored = storedMapValue(context.vars, context.name);
    const QColor start = stored.value<QColor>();
    const QColor chosen = DialogHook::getColor(context.window, start);
    if (!chosen.isValid() || chosen == start)
        return;
    QVariant newValue = chosen;
    if (!allowed(context, kBeforeDataChanged, {}, &newValue, &stored))
        return;
    const QColor color = newValue.value<QColor>();
    storeMapValue(context.vars, context.name, color, MissingEntry::Create);
    if (auto *button = qobject_cast<QAbstractButton *>(context.widget.data())) {
        QPixmap swatch(button->iconSize());
        swatch.fill(color);
        button->setIcon(swatch);
    }
    fireAfter(context, kAfterDataChanged, {}, &newValue, &stored);
}

void chooseFont(const HandlerContext &context)
{
    const QVariant stored = storedMapValue(context.vars, context.name);
    const QFont start = stored.value<QFont>();
    const std::optional<QFont> chosen = DialogHook::getFont(context.window, start);
    // Without a stored font the start is only the default font: any choice is a change.
    if (!chosen || (stored.isValid() && *chosen == start))
        return;
    QVariant newValue = *chosen;
    if (!allowed(context, kBeforeDataChanged, {}, &newValue, &stored))
        return;
    const QFont font = newValue.value<QFont>();
    storeMapValue(context.vars, context.name, font, MissingEntry::Create);
    if (auto *button = qobject_cast<QAbstractButton *>(context.widget.data())) {
        button->setFont(font);
        button->setText(QStringLiteral("%1, %2pt").arg(font.family()).arg(font.pointSize()));
    }
    fireAfter(context, kAfterDataChanged, {}, &newValue, &stored);
}

void onBrowseClicked(const HandlerContext &context)
{
    if (!context.lineEdit)
        return;
    const QString text = context.lineEdit->text();
    QVariant newValue = text;
    const QVariant oldValue = text;
    if (!allowed(context, kBeforeAction, {}, &newValue, &oldValue)) {
        if (context.lineEdit && newValue.toString() != context.lineEdit->text())
            context.lineEdit->setText(newValue.toString());
        return;
    }
    if (buttonAction(context.typeCode) == ButtonAction::OpenUrl) {
        openWithDesktop(context.window, text);
    } else if (!context.name.isEmpty()) {
        const QString chosen = choosePath(context, context.caption, text);
        // The line edit's own change handler stores the choice.
        if (!chosen.isEmpty()) {
            newValue = chosen;
            if (context.lineEdit)
                context.lineEdit->setText(chosen);
        }
    }
    fireAfter(context, kAfterAction, {}, &newValue, &oldValue);
}

void onButtonClicked(const HandlerContext &context)
{
    const ButtonAction action = buttonAction(context.typeCode);
    if (action == ButtonAction::Accept || action == ButtonAction::Reject) {
        closeWith(context, action == ButtonAction::Accept ? kAccept : kReject);
        return;
    }
    const QVariant stored = storedMapValue(context.vars, context.name);
    QVariant newValue = stored;
    const QVariant oldValue = stored;
    if (!allowed(context, kBeforeAction, {}, &newValue, &oldValue))
        return;
    if (action == ButtonAction::OpenUrl) {
        openWithDesktop(context.window,
                        context.name.isEmpty() ? plainValue(context.field.value).toString()
                                               : stored.toString());
    } else if (action != ButtonAction::None && !context.name.isEmpty()) {
        const auto *button = qobject_cast<QAbstractButton *>(context.widget.data());
        const QString chosen =
            choosePath(context, button ? button->text() : QString(), stored.toString());
        if (chosen.isEmpty())
            return;
        newValue = chosen;
        if (!allowed(context, kBeforeDataChanged, {}, &newValue, &oldValue))
            return;
        storeMapValue(context.vars, context.name, newValue, MissingEntry::Create);
        fireAfter(context, kAfterDataChanged, {}, &newValue, &oldValue);
    }
    fireAfter(context, kAfterAction, {}, &newValue, &oldValue);
}

} // namespace kivra
