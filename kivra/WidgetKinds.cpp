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
template<class W, class Read, class Write, class EmitChange, class RuleTextOf, class Connect>
WidgetKind kind(Read read, Write write, EmitChange emitChange, RuleTextOf ruleText,
                Connect connectChange)
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
    if constexpr (!std::is_null_pointer_v<Connect>)
        result.connectChange = [connectChange](QObject &object, const ChangeTarget &target) {
            connectChange(static_cast<W &>(object), target);
        };
    return result;
}

bool flagged(const ChangeTarget &target, const FieldFlags &mask)
{
    return hasFlags(target.context.field.flags, mask);
}

// A spin box or date edit: its value has a getter, a setter and a per-value change signal,
// and the handler listens either to that signal (kImmediateUpdate) or to editingFinished. An
// invalid date counts as empty.
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
        nullptr,
        [changed](W &editor, const ChangeTarget &target) {
            if (flagged(target, kImmediateUpdate))
                QObject::connect(&editor, changed, target.valueChanged);
            else
                QObject::connect(&editor, &QAbstractSpinBox::editingFinished, target.valueChanged);
        });
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
constexpr auto connectTextChanged = [](auto &edit, const ChangeTarget &target) {
    using Edit = std::decay_t<decltype(edit)>;
    QObject::connect(&edit, &Edit::textChanged, target.valueChanged);
};

// In table order; the first class that fits decides. Adding a widget class is one row.
const std::vector<WidgetKind> &widgetKinds()
{
    static const std::vector<WidgetKind> kinds = {
        kind<QTabWidget>(nullptr, nullptr, indexChange<QTabWidget>(&QTabWidget::currentChanged),
                         nullptr,
                         [](QTabWidget &tabs, const ChangeTarget &target) {
                             QObject::connect(&tabs, &QTabWidget::currentChanged,
                                              [context = target.context](int index) {
                                                  onTabChanged(context, index);
                                              });
                         }),
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
            emitTextChanged, visibleText, connectTextChanged),
        kind<QPlainTextEdit>(
            [](const QPlainTextEdit &edit) -> QVariant { return edit.toPlainText(); },
            [](QPlainTextEdit &edit, const QVariant &value) {
                edit.setPlainText(value.toString());
            },
            emitTextChanged, visibleText, connectTextChanged),
        kind<QLineEdit>(
            [](const QLineEdit &edit) -> QVariant { return edit.text(); },
            [](QLineEdit &edit, const QVariant &value) { edit.setText(value.toString()); },
            [](QLineEdit &edit, bool skipIfEmpty, bool) {
                if (!skipIfEmpty || !edit.text().isEmpty())
                    emit edit.textChanged(edit.text());
            },
            [](const QLineEdit &edit) {
                return RuleText {!edit.isReadOnly(), edit.text().trimmed()};
            },
            [](QLineEdit &edit, const ChangeTarget &target) {
                QObject::connect(&edit, &QLineEdit::textChanged, target.valueChanged);
                QObject::connect(&edit, &QLineEdit::editingFinished, target.valueChanged);
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
            nullptr,
            [](QListWidget &list, const ChangeTarget &target) {
                if (flagged(target, kCheckList))
                    QObject::connect(&list, &QListWidget::itemChanged,
                                     [context = target.context](QListWidgetItem *item) {
                                         onListItemChanged(context, item);
                                     });
                else
                    QObject::connect(
                        &list, &QListWidget::itemSelectionChanged,
                        [context = target.context] { onListSelectionChanged(context); });
            }),
        kind<QComboBox>(
            nullptr, nullptr, indexChange<QComboBox>(&QComboBox::currentIndexChanged), nullptr,
            [](QComboBox &combo, const ChangeTarget &target) {
                QObject::connect(&combo, &QComboBox::currentIndexChanged,
                                 [context = target.context] { onComboIndexChanged(context); });
            }),
        // A partially checked box reads as unchecked.
        kind<QCheckBox>(
            [](const QCheckBox &box) -> QVariant {
                return box.checkState() == Qt::Checked ? 1 : 0;
            },
            [](QCheckBox &box, const QVariant &value) {
                box.setCheckState(value.toBool() ? Qt::Checked : Qt::Unchecked);
            },
            [](QCheckBox &box, bool, bool) { emit box.stateChanged(int(box.checkState())); },
            nullptr,
            [](QCheckBox &box, const ChangeTarget &target) {
                QObject::connect(&box, &QCheckBox::stateChanged, target.valueChanged);
                QObject::connect(&box, &QAbstractButton::clicked, target.valueChanged);
            }),
        kind<QAction>(
            nullptr, nullptr,
            [](QAction &action, bool skipIfEmpty, bool) {
                if (!skipIfEmpty || action.isCheckable())
                    emit action.triggered(action.isChecked());
            },
            nullptr, nullptr),
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
