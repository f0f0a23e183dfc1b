#include "WidgetKinds_p.h"

#include <kivra/FieldFlags.h>
#include <kivra/Registry.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

#include <functional>
#include <type_traits>
#include <vector>

namespace kivra {

namespace {

// One row of the table, written with the class's own type; nullptr leaves a column empty.
template<class W, class Read, class Write, class EmitChange, class RuleTextOf>
WidgetKind kind(Read read, Write write, EmitChange emitChange, RuleTextOf ruleText)
{
    WidgetKind result;
    result.type = &W::staticMetaObject;
    if constexpr (!std::is_null_pointer_v<Read>)
        result.read = [read](const QObject &object) {
            return read(static_cast<const W &>(object));
        };
    if constexpr (!std::is_null_pointer_v<Write>)
        result.write = [write](QObject &object, const QVariant &value) {
            write(static_cast<W &>(object), value);
        };
    if constexpr (!std::is_null_pointer_v<EmitChange>)
        result.emitChange = [emitChange](QObject &object, bool skipIfEmpty, bool immediate) {
            emitChange(static_cast<W &>(object), skipIfEmpty, immediate);
        };
    if constexpr (!std::is_null_pointer_v<RuleTextOf>)
        result.ruleText = [ruleText](const QObject &object) {
            return ruleText(static_cast<const W &>(object));
        };
    return result;
}

// A spin box or date edit: its value has a getter, a setter and a per-value change signal,
// and the handler listens either to that signal or to editingFinished. An invalid date
// counts as empty.
template<class W, class Get, class Set, class Changed>
WidgetKind editorKind(Get get, Set set, Changed changed)
{
    using Value = std::decay_t<std::invoke_result_t<Get, const W &>>;
    return kind<W>(
        [get](const W &editor) { return QVariant::fromValue(std::invoke(get, editor)); },
        [set](W &editor, const QVariant &value) { std::invoke(set, editor, value.value<Value>()); },
        [get, changed](W &editor, bool skipIfEmpty, bool immediate) {
            const Value value = std::invoke(get, editor);
            if constexpr (std::is_class_v<Value>)
                if (skipIfEmpty && !value.isValid())
                    return;
            if (immediate)
                std::invoke(changed, editor, value); // emits the signal
            else
                emit editor.editingFinished();
        },
        nullptr);
}

// A tab widget or combo box reports its current index; without one it counts as empty.
template<class W, class Changed>
auto indexChange(Changed changed)
{
    return [changed](W &widget, bool skipIfEmpty, bool) {
        if (!skipIfEmpty || widget.currentIndex() >= 0)
            std::invoke(changed, widget, widget.currentIndex()); // emits the signal
    };
}

// Both text edits report every edit and are measured by their visible text: the HTML of a
// rich text is never empty and its length says nothing about what the user typed.
constexpr auto emitTextChanged = [](auto &edit, bool, bool) {
    emit edit.textChanged();
};
constexpr auto visibleText = [](const auto &edit) {
    return RuleText {!edit.isReadOnly(), edit.toPlainText().trimmed()};
};

// In table order; the first class that fits decides. Adding a widget class is one row.
const std::vector<WidgetKind> &widgetKinds()
{
    static const std::vector<WidgetKind> kinds = {
        kind<QTabWidget>(nullptr, nullptr, indexChange<QTabWidget>(&QTabWidget::currentChanged),
                         nullptr),
        editorKind<QSpinBox>(&QSpinBox::value, &QSpinBox::setValue, &QSpinBox::valueChanged),
        editorKind<QDoubleSpinBox>(&QDoubleSpinBox::value, &QDoubleSpinBox::setValue,
                                   &QDoubleSpinBox::valueChanged),
        // A date edit is a date-time edit that reads a date: it must come first.
        editorKind<QDateEdit>(&QDateEdit::date, &QDateEdit::setDate, &QDateEdit::dateChanged),
        editorKind<QDateTimeEdit>(&QDateTimeEdit::dateTime, &QDateTimeEdit::setDateTime,
                                  &QDateTimeEdit::dateTimeChanged),
        kind<QTextEdit>(
            [](const QTextEdit &edit) -> QVariant {
                return edit.acceptRichText() ? edit.toHtml() : edit.toPlainText();
            },
            [](QTextEdit &edit, const QVariant &value) {
                if (edit.acceptRichText())
                    edit.setHtml(value.toString());
                else
                    edit.setPlainText(value.toString());
            },
            emitTextChanged, visibleText),
        kind<QPlainTextEdit>(
            [](const QPlainTextEdit &edit) -> QVariant { return edit.toPlainText(); },
            [](QPlainTextEdit &edit, const QVariant &value) {
                edit.setPlainText(value.toString());
            },
            emitTextChanged, visibleText),
        kind<QLineEdit>(
            [](const QLineEdit &edit) -> QVariant { return edit.text(); },
            [](QLineEdit &edit, const QVariant &value) { edit.setText(value.toString()); },
            [](QLineEdit &edit, bool skipIfEmpty, bool) {
                if (!skipIfEmpty || !edit.text().isEmpty())
                    emit edit.textChanged(edit.text());
            },
            [](const QLineEdit &edit) {
                return RuleText {!edit.isReadOnly(), edit.text().trimmed()};
            }),
        // A check list reports through itemChanged, a selection list through
        // itemSelectionChanged: emit what the list's handler listens to.
        kind<QListWidget>(
            nullptr, nullptr,
            [](QListWidget &list, bool skipIfEmpty, bool) {
                if (skipIfEmpty && !list.currentItem())
                    return;
                if (widgetHasFlags(&list, kCheckList))
                    emit list.itemChanged(list.currentItem());
                else
                    emit list.itemSelectionChanged();
            },
            nullptr),
        kind<QComboBox>(nullptr, nullptr, indexChange<QComboBox>(&QComboBox::currentIndexChanged),
                        nullptr),
        // A partially checked box reads as unchecked.
        kind<QCheckBox>(
            [](const QCheckBox &box) -> QVariant {
                return box.checkState() == Qt::Checked ? 1 : 0;
            },
            [](QCheckBox &box, const QVariant &value) {
                box.setCheckState(value.toBool() ? Qt::Checked : Qt::Unchecked);
            },
            [](QCheckBox &box, bool, bool) { emit box.stateChanged(int(box.checkState())); },
            nullptr),
        kind<QAction>(
            nullptr, nullptr,
            [](QAction &action, bool skipIfEmpty, bool) {
                if (!skipIfEmpty || action.isCheckable())
                    emit action.triggered(action.isChecked());
            },
            nullptr),
    };
    return kinds;
}

} // namespace

const WidgetKind *widgetKindOf(const QObject *object)
{
    if (!object)
        return nullptr;
    for (const WidgetKind &kind : widgetKinds())
        if (kind.type->cast(object))
            return &kind;
    return nullptr;
}

} // namespace kivra
