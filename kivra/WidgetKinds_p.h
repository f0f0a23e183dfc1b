#pragma once

#include <kivra/Handlers.h>

#include <QString>
#include <QVariant>

#include <functional>

class QMetaObject;
class QObject;

namespace kivra {

// What the validation rules see of a text widget: its trimmed text, and whether the user
// can edit it (a read-only field is not checked).
struct RuleText
{
    bool editable = true;
    QString text;
};

// What a widget's change signals reach: the change handler of plain value widgets, or the
// handler of its class (lists, combo boxes, tab widgets) with the state it is connected with.
struct ChangeTarget
{
    std::function<void()> valueChanged;
    HandlerContext context;
};

// What the framework does with one widget class. An empty function means the class has no
// such thing: no value of its own (lists, combo boxes and tab widgets hold list data or an
// index), no change signal, or no text for the rules.
struct WidgetKind
{
    const QMetaObject *type = nullptr;
    std::function<QVariant(const QObject &object)> read;
    std::function<void(QObject &object, const QVariant &value)> write;
    // Emits the change signal the class's handler listens to. skipIfEmpty leaves an empty
    // widget silent; immediate picks the per-value signal of spin boxes and date edits
    // instead of editingFinished.
    std::function<void(QObject &object, bool skipIfEmpty, bool immediate)> emitChange;
    std::function<RuleText(const QObject &object)> ruleText;
    // Connects the change signals of the class to their handler; the field's flags pick the
    // signal where there is a choice (kImmediateUpdate, kCheckList).
    std::function<void(QObject &object, const ChangeTarget &target)> connectChange;
};

// The kind of the first class in the table that the object is an instance of; the table is
// ordered so that a subclass (a date edit is a date-time edit) comes before its base. Null
// for a null object or one of no class in the table.
const WidgetKind *widgetKindOf(const QObject *object);

} // namespace kivra
