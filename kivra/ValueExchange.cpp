#include "ValueExchange.h"

#include <kivra/Callbacks.h>
#include <kivra/ListData.h>
#include <kivra/Registry.h>
#include <kivra/Selection.h>
#include <kivra/helper/ImageWidget.h>

#include "KivraLog_p.h"
#include "MapValue_p.h"
#include "Menus_p.h"
#include "WidgetKinds_p.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace kivra {

namespace {

bool forcedChange = false;

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
        storeMapValue(vars, key, value, MissingEntry::Skip);
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

// Makes value the image of an image widget; true when it was one.
bool applyImageValue(QWidget *imageWidget, const QVariant &value)
{
    auto *image = qobject_cast<helper::ImageWidget *>(imageWidget);
    if (!image)
        return false;
    image->setImage(value, widgetFlags(image));
    return true;
}

// Applies one value; true when the key found a place in the form.
bool applyValue(Vars *vars, const QString &key, const QVariant &value, Notes &notes)
{
    const WIDGET_INFO widgets = widgetsByName(vars, key);
    if (QWidget *widget = valueWidget(widgets)) {
        QVariant resolved = isVariantPtr(value) ? plainValue(value) : value;
        getSetWidgetValue(widget, true, true, &resolved);
        storeMapValue(vars, key, resolved, MissingEntry::Skip);
        notes.noteChange(widget);
        return true;
    }
    if (firstOfKinds<QWidget>(vars, key, kValuelessKinds))
        return true;
    if (auto *button = firstOfKinds<QPushButton>(vars, key, kChooserKinds)) {
        storeMapValue(vars, key, value, MissingEntry::Skip);
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

QString beforePoint(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? text : text.left(point);
}

// A text value cut before its point; other values untouched.
QVariant integralPart(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        return beforePoint(value.toString());
    return value;
}

} // namespace

void getSetWidgetValue(QWidget *widget, bool set, bool blockSignals, QVariant *value)
{
    const WidgetKind *kind = widgetKindOf(widget);
    if (!kind || !value)
        return;
    if (!set) {
        if (kind->read)
            *value = kind->read(*widget);
        return;
    }
    if (!kind->write)
        return;
    // The blockers put back whatever blocking was in place, so a caller that had blocked
    // the widget itself keeps it blocked.
    std::optional<QSignalBlocker> widgetBlocker;
    std::optional<QSignalBlocker> editorBlocker;
    if (blockSignals) {
        widgetBlocker.emplace(widget);
        if (auto *editor = widget->findChild<QLineEdit *>())
            editorBlocker.emplace(editor);
    }
    kind->write(*widget, *value);
}

void onWidgetValueChanged(const INFO &field, const INFO &windowRecord,
                          const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                          const QVariant &signalValue, QMap<QString, QVariant> *vars,
                          const QString &fallbackName)
{
    if (!widget)
        return;
    const QString key = field.name.isEmpty() ? fallbackName : field.name;

    QVariant newValue;
    getSetWidgetValue(widget, false, false, &newValue);
    const QVariant asRead = newValue;
    QVariant oldValue = storedMapValue(vars, key);

    if (hasFlags(field.flags, kAskBefore)) {
        if (!askCallbacks(field, windowRecord, window, widget, signalValue, kBeforeDataChanged,
                          vars, &newValue, &oldValue)) {
            getSetWidgetValue(widget, true, true, &oldValue);
            return;
        }
        if (newValue != asRead)
            getSetWidgetValue(widget, true, true, &newValue);
    }

    const bool changed = newValue != oldValue;
    if (!changed && !isForcedChange())
        return;
    if (changed)
        storeMapValue(vars, key, newValue, MissingEntry::Skip);
    fireCallbacks(field, windowRecord, window, widget, signalValue, kAfterDataChanged, vars,
                  &newValue, &oldValue);
}

bool isForcedChange()
{
    return forcedChange;
}

void reemitChange(QObject *object, bool skipIfEmpty, bool immediate)
{
    const WidgetKind *kind = widgetKindOf(object);
    if (!kind || !kind->emitChange)
        return;
    const QScopedValueRollback<bool> forced(forcedChange, true);
    kind->emitChange(*object, skipIfEmpty, immediate);
}

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

QVariant variantToIntString(const QVariant &value)
{
    return beforePoint(value.toString());
}

int variantToInt(const QVariant &value)
{
    return integralPart(value).toInt();
}

qlonglong variantToLongLong(const QVariant &value)
{
    return integralPart(value).toLongLong();
}

qulonglong variantToULongLong(const QVariant &value)
{
    return integralPart(value).toULongLong();
}

} // namespace kivra
