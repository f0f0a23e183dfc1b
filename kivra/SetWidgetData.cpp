#include "SetWidgetData.h"

#include "KivraLog_p.h"
#include "ListDataValues.h"
#include "ReemitChange.h"
#include "SelectionValues.h"
#include "ValueBinding.h"
#include "WidgetDataHooks.h"
#include "WidgetValue.h"
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <initializer_list>

namespace kivra {

namespace {

using Vars = QMap<QString, QVariant>;

constexpr std::initializer_list<int> kValueKinds = {
    kLineEdit, kTextEdit, kCheckBox, kPlainTextEdit, kNumberSpinBox, kDateEdit, kDateTimeEdit};
constexpr std::initializer_list<int> kValuelessKinds = {
    kCallerWidget, kMenuBar, kNoWidget, kStatusBar, kTabWidget, kTabPage,
    kNoWidgetAlt,  kVLine,   kHSpacer,  kVSpacer,   kStretch,   kHLine};
constexpr std::initializer_list<int> kChooserKinds = {
    kHelpUrlButton, kColorButton, kFontButton, kDirButton, kOpenFileButton, kSaveFileButton};
constexpr std::initializer_list<int> kPlainButtonKinds = {
    kPushButton, kOkButton, kCancelButton, kCloseButton, kSettingSelector, kHelpButton};
constexpr std::initializer_list<int> kBrowseEditKinds = {kOpenLineEdit, kDirLineEdit,
                                                         kOpenFileLineEdit, kSaveFileLineEdit};

// Widgets to notify once every key is applied.
struct Notes
{
    struct Change
    {
        QPointer<QObject> object;
        bool skipIfEmpty;
        bool immediate;
    };
    QList<Change> changes;
    QList<QPointer<QPushButton>> clicks;

    void noteChange(QWidget *widget)
    {
        changes.append({widget, widgetHasFlags(widget, kEmitInitialChangeIfSet),
                        widgetHasFlags(widget, kImmediateUpdate)});
    }
};

template<class T>
T *firstOfKinds(Vars *vars, const QString &key, std::initializer_list<int> kinds)
{
    for (const int kind : kinds)
        if (T *widget = findWidget<T>(vars, key, kind))
            return widget;
    return nullptr;
}

void storeValue(Vars *vars, const QString &key, const QVariant &value)
{
    VariantBinding stored(vars, key, true);
    if (stored.isBound())
        *stored.data() = value;
}

QWidget *valueWidget(const WIDGET_INFO &widgets)
{
    for (const QPointer<QWidget> &widget : widgets)
        if (widget &&
            std::find(kValueKinds.begin(), kValueKinds.end(), widgetSubKind(widget)) !=
                kValueKinds.end())
            return widget;
    return nullptr;
}

bool hasLiveWidget(const WIDGET_INFO &widgets)
{
    return std::any_of(widgets.cbegin(), widgets.cend(),
                       [](const QPointer<QWidget> &widget) { return !widget.isNull(); });
}

// A combo box or list widget under key that has entries.
QWidget *filledListWidget(Vars *vars, const QString &key)
{
    auto *combo = findWidget<QComboBox>(vars, key, kComboBox);
    if (combo && combo->count() > 0)
        return combo;
    auto *list = findWidget<QListWidget>(vars, key, kListWidget);
    return list && list->count() > 0 ? list : nullptr;
}

// The widgets that take a value in their own way: a line edit paired with a browse button
// takes it as text, a combo box, list widget or menu button as a selection.
bool applyToPathOrSelection(Vars *vars, const QString &key, const QVariant &value, Notes &notes)
{
    if (auto *edit = firstOfKinds<QLineEdit>(vars, key, kBrowseEditKinds)) {
        {
            const QSignalBlocker blocker(edit);
            edit->setText(value.toString());
        }
        storeValue(vars, key, value);
        notes.noteChange(edit);
        return true;
    }
    if (QWidget *list = filledListWidget(vars, key)) {
        if (applySelectionValue(vars, key, value, false, nullptr)) {
            selectListDataItems(vars, key, value, widgetHasFlags(list, kMultiSelect));
            notes.noteChange(list);
        }
        return true;
    }
    if (auto *button = findWidget<QPushButton>(vars, key, kMenuButton);
        button && button->menu() && !button->menu()->isEmpty()) {
        // As for lists: the map's list data must follow, or the old selection is saved.
        if (applySelectionValue(vars, key, value, false, nullptr))
            selectListDataItems(vars, key, value, widgetHasFlags(button, kMultiSelect));
        return true;
    }
    return false;
}

// Applies one value; true when the key found a place in the form.
bool applyValue(Vars *vars, const QString &key, const QVariant &value, Notes &notes)
{
    const WIDGET_INFO widgets = widgetsByName(vars, key);
    if (QWidget *widget = valueWidget(widgets)) {
        QVariant resolved = isVariantPtr(value) ? plainValue(value) : value;
        getSetWidgetValue(widget, true, true, &resolved);
        storeValue(vars, key, resolved);
        notes.noteChange(widget);
        return true;
    }
    if (firstOfKinds<QWidget>(vars, key, kValuelessKinds))
        return true;
    if (auto *button = firstOfKinds<QPushButton>(vars, key, kChooserKinds)) {
        storeValue(vars, key, value);
        notes.clicks.append(button);
        return true;
    }
    const bool isPlainButton = firstOfKinds<QPushButton>(vars, key, kPlainButtonKinds) != nullptr;
    if (applyToPathOrSelection(vars, key, value, notes))
        return true;
    if (QWidget *image = findWidget<QWidget>(vars, key, kImage)) {
        applyImageValue(image, value);
        return true;
    }
    if (!hasLiveWidget(widgets))
        return applyMenuValue(vars, key, value);
    return isPlainButton || findWidget<QLabel>(vars, key, kLabel, kFirstMatch);
}

} // namespace

bool setWidgetData(Vars *vars, const Vars &values, bool reemit)
{
    if (vars == &values)
        return true;
    if (!vars)
        return false;
    Notes notes;
    bool allKnown = true;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (isReservedKey(it.key()))
            continue;
        qCDebug(lcKivra) << "setWidgetData" << it.key() << it.value();
        allKnown = applyValue(vars, it.key(), it.value(), notes) && allKnown;
    }
    if (reemit) {
        for (const Notes::Change &change : std::as_const(notes.changes))
            if (change.object)
                reemitChange(change.object, change.skipIfEmpty, change.immediate);
        for (const QPointer<QPushButton> &button : std::as_const(notes.clicks))
            if (button)
                emit button->clicked(true);
    }
    return allKnown;
}

} // namespace kivra
