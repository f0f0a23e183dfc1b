#include "ReemitChange.h"

#include <kivra/FieldFlags.h>
#include <kivra/Registry.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

namespace kivra {

namespace {

bool forcedChange = false;

void emitSpinChange(QAbstractSpinBox *spin, bool immediate)
{
    if (!immediate)
        emit spin->editingFinished();
    else if (auto *box = qobject_cast<QSpinBox *>(spin))
        emit box->valueChanged(box->value());
    else if (auto *box = qobject_cast<QDoubleSpinBox *>(spin))
        emit box->valueChanged(box->value());
}

// A date edit is a date-time edit whose change signal is dateChanged.
void emitDateChange(QDateTimeEdit *edit, bool skipIfEmpty, bool immediate)
{
    const bool dateOnly = qobject_cast<QDateEdit *>(edit) != nullptr;
    const bool valid = dateOnly ? edit->date().isValid() : edit->dateTime().isValid();
    if (skipIfEmpty && !valid)
        return;
    if (!immediate)
        emit edit->editingFinished();
    else if (dateOnly)
        emit edit->dateChanged(edit->date());
    else
        emit edit->dateTimeChanged(edit->dateTime());
}

void emitChange(QObject *object, bool skipIfEmpty, bool immediate)
{
    if (auto *tabs = qobject_cast<QTabWidget *>(object)) {
        if (!skipIfEmpty || tabs->currentIndex() >= 0)
            emit tabs->currentChanged(tabs->currentIndex());
    } else if (auto *edit = qobject_cast<QLineEdit *>(object)) {
        if (!skipIfEmpty || !edit->text().isEmpty())
            emit edit->textChanged(edit->text());
    } else if (auto *edit = qobject_cast<QTextEdit *>(object)) {
        emit edit->textChanged();
    } else if (auto *edit = qobject_cast<QPlainTextEdit *>(object)) {
        emit edit->textChanged();
    } else if (qobject_cast<QSpinBox *>(object) || qobject_cast<QDoubleSpinBox *>(object)) {
        emitSpinChange(static_cast<QAbstractSpinBox *>(object), immediate);
    } else if (auto *edit = qobject_cast<QDateTimeEdit *>(object)) {
        emitDateChange(edit, skipIfEmpty, immediate);
    } else if (auto *list = qobject_cast<QListWidget *>(object)) {
        // A check list reports through itemChanged, a selection list through
        // itemSelectionChanged: emit what the list's handler listens to.
        if (skipIfEmpty && !list->currentItem())
            return;
        if (widgetHasFlags(list, kCheckList))
            emit list->itemChanged(list->currentItem());
        else
            emit list->itemSelectionChanged();
    } else if (auto *combo = qobject_cast<QComboBox *>(object)) {
        if (!skipIfEmpty || combo->currentIndex() >= 0)
            emit combo->currentIndexChanged(combo->currentIndex());
    } else if (auto *box = qobject_cast<QCheckBox *>(object)) {
        emit box->stateChanged(int(box->checkState()));
    } else if (auto *action = qobject_cast<QAction *>(object)) {
        if (!skipIfEmpty || action->isCheckable())
            emit action->triggered(action->isChecked());
    }
}

} // namespace

bool isForcedChange()
{
    return forcedChange;
}

void reemitChange(QObject *object, bool skipIfEmpty, bool immediate)
{
    const QScopedValueRollback<bool> forced(forcedChange, true);
    emitChange(object, skipIfEmpty, immediate);
}

} // namespace kivra
