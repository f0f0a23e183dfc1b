#include "ValidateForm.h"

#include "ListDataValues.h"
#include "MessageBoxHook.h"
#include "ValidationMessages.h"
#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTextEdit>

#include <optional>

namespace kivra {

namespace {

using Vars = QMap<QString, QVariant>;

// What the rules see of a widget: the trimmed text of a text field, nothing of any other.
struct FieldText
{
    bool editable = true;
    bool isText = false;
    QString text;
};

// A rich text edit is measured by its visible text: its HTML is never empty and its length
// says nothing about what the user typed.
FieldText fieldText(const QWidget *widget)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return {!edit->isReadOnly(), true, edit->text().trimmed()};
    if (const auto *edit = qobject_cast<const QTextEdit *>(widget))
        return {!edit->isReadOnly(), true, edit->toPlainText().trimmed()};
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return {!edit->isReadOnly(), true, edit->toPlainText().trimmed()};
    return {};
}

bool isFolderChooser(int subKind)
{
    return subKind == kDirLineEdit || subKind == kDirButton;
}

bool isOpenFileChooser(int subKind)
{
    return subKind == kOpenFileLineEdit || subKind == kOpenFileButton;
}

// An empty folder path names no folder, although QDir reads it as the current one.
bool chosenPathExists(const QString &path, bool folder)
{
    return folder ? !path.isEmpty() && QDir(path).exists() : QFileInfo::exists(path);
}

bool matchesPattern(const QWidget *widget, const QVariantMap &options, const QString &text)
{
    if (Option::regexPatternWildcard(options))
        return QRegularExpression::fromWildcard(Option::regexPattern(options), Qt::CaseInsensitive)
            .match(text)
            .hasMatch();
    const auto *edit = qobject_cast<const QLineEdit *>(widget);
    const auto *validator =
        edit ? qobject_cast<const QRegularExpressionValidator *>(edit->validator()) : nullptr;
    return !validator || validator->regularExpression().match(text).hasMatch();
}

std::optional<int> lengthLimit(const QVariantMap &options, const QString &key)
{
    bool ok = false;
    const int limit = options.value(key).toInt(&ok);
    return ok ? std::make_optional(limit) : std::nullopt;
}

bool hasLengthRules(int subKind)
{
    return subKind == kLineEdit || subKind == kTextEdit || subKind == kPlainTextEdit;
}

// The message of the first rule the widget fails; empty when it passes or is not checked.
QString failedRule(QWidget *widget, const Vars &values)
{
    if (!widget->isVisible() || !widget->isEnabled())
        return {};
    const FieldText field = fieldText(widget);
    if (!field.editable)
        return {};
    const int subKind = widgetSubKind(widget);
    const QVariantMap options = widget->property(WidgetProperty::options).toMap();
    const QString caption = options.value(OptionKey::plaintitle).toString();

    if (options.value(OptionKey::fileMustExist).toBool() &&
        (isFolderChooser(subKind) || isOpenFileChooser(subKind))) {
        const QString name = widget->property(WidgetProperty::paramName).toString();
        const QString path = plainValue(values.value(name)).toString();
        if (!chosenPathExists(path, isFolderChooser(subKind)))
            return validationMessage(ValidationRule::fileMustExist, caption, path);
    }
    if (!hasValidationOptions(options))
        return {};
    if (options.value(OptionKey::required).toBool()) {
        const auto *combo = qobject_cast<const QComboBox *>(widget);
        if ((field.isText && field.text.isEmpty()) ||
            (subKind == kComboBox && combo && combo->currentIndex() < 0))
            return validationMessage(ValidationRule::required, caption);
    }
    if (field.isText && !Option::regexPattern(options).isEmpty() &&
        !matchesPattern(widget, options, field.text))
        return validationMessage(ValidationRule::regexPattern, caption, field.text);
    if (hasLengthRules(subKind)) {
        const auto min = lengthLimit(options, OptionKey::min);
        const auto max = lengthLimit(options, OptionKey::max);
        if (min && field.text.size() < *min)
            return validationMessage(ValidationRule::tooShort, caption, field.text, *min);
        if (max && field.text.size() > *max)
            return validationMessage(ValidationRule::tooLong, caption, field.text, *max);
    }
    return {};
}

} // namespace

bool validateForm(QWidget *window, QMap<QString, QVariant> *values)
{
    if (!values)
        return true;
    // Code 0 collects every registered widget, in the order the form registered them.
    const QList<QPointer<QWidget>> widgets = collectWidgets(values, 0);
    for (QWidget *widget : widgets) {
        const QString message = failedRule(widget, *values);
        if (message.isEmpty())
            continue;
        widget->setFocus(Qt::OtherFocusReason);
        MessageBoxHook::information(window, QObject::tr("Fehler:"), message);
        return false;
    }
    return true;
}

bool hasValidationOptions(const QMap<QString, QVariant> &options)
{
    for (const QLatin1String key :
         {OptionKey::min, OptionKey::max, OptionKey::required, OptionKey::regexPattern,
          OptionKey::regexPatternOptions, OptionKey::regexPatternWildcard})
        if (options.contains(key))
            return true;
    return false;
}

} // namespace kivra
