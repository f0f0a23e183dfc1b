#include "WidgetValue.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>

#include <optional>

namespace kivra {

namespace {

// A date edit is also a date-time edit, so the order of the tests matters.
std::optional<QVariant> readValue(const QWidget *widget)
{
    if (const auto *spin = qobject_cast<const QSpinBox *>(widget))
        return spin->value();
    if (const auto *spin = qobject_cast<const QDoubleSpinBox *>(widget))
        return spin->value();
    if (const auto *edit = qobject_cast<const QDateEdit *>(widget))
        return edit->date();
    if (const auto *edit = qobject_cast<const QDateTimeEdit *>(widget))
        return edit->dateTime();
    if (const auto *edit = qobject_cast<const QTextEdit *>(widget))
        return edit->acceptRichText() ? edit->toHtml() : edit->toPlainText();
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (const auto *box = qobject_cast<const QCheckBox *>(widget))
        return box->checkState() == Qt::Checked ? 1 : 0;
    return std::nullopt;
}

void writeValue(QWidget *widget, const QVariant &value)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        spin->setValue(value.toInt());
    else if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget))
        spin->setValue(value.toDouble());
    else if (auto *edit = qobject_cast<QDateEdit *>(widget))
        edit->setDate(value.toDate());
    else if (auto *edit = qobject_cast<QDateTimeEdit *>(widget))
        edit->setDateTime(value.toDateTime());
    else if (auto *edit = qobject_cast<QTextEdit *>(widget))
        edit->acceptRichText() ? edit->setHtml(value.toString())
                               : edit->setPlainText(value.toString());
    else if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        edit->setPlainText(value.toString());
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setText(value.toString());
    else if (auto *box = qobject_cast<QCheckBox *>(widget))
        box->setCheckState(value.toBool() ? Qt::Checked : Qt::Unchecked);
}

} // namespace

void getSetWidgetValue(QWidget *widget, bool set, bool blockSignals, QVariant *value)
{
    if (!widget || !value)
        return;
    if (!set) {
        if (const std::optional<QVariant> read = readValue(widget))
            *value = *read;
        return;
    }
    // The blockers put back whatever blocking was in place, so a caller that had blocked
    // the widget itself keeps it blocked.
    std::optional<QSignalBlocker> widgetBlocker;
    std::optional<QSignalBlocker> editorBlocker;
    if (blockSignals) {
        widgetBlocker.emplace(widget);
        if (auto *editor = widget->findChild<QLineEdit *>())
            editorBlocker.emplace(editor);
    }
    writeValue(widget, *value);
}

} // namespace kivra
