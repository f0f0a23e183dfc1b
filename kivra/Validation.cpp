#include "Validation.h"

#include <kivra/DialogHook.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include "WidgetKinds_p.h"

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

// What the rules see of a widget: the text of a text widget; nothing of any other.
std::optional<RuleText> ruleTextOf(const QWidget *widget)
{
    const WidgetKind *kind = widgetKindOf(widget);
    if (!kind || !kind->ruleText)
        return std::nullopt;
    return kind->ruleText(*widget);
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
    const std::optional<RuleText> field = ruleTextOf(widget);
    if (field && !field->editable)
        return {};
    const bool isText = field.has_value();
    const QString text = isText ? field->text : QString();
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
        if ((isText && text.isEmpty()) ||
            (subKind == kComboBox && combo && combo->currentIndex() < 0))
            return validationMessage(ValidationRule::required, caption);
    }
    if (isText && !Option::regexPattern(options).isEmpty() &&
        !matchesPattern(widget, options, text))
        return validationMessage(ValidationRule::regexPattern, caption, text);
    if (hasLengthRules(subKind)) {
        const auto min = lengthLimit(options, OptionKey::min);
        const auto max = lengthLimit(options, OptionKey::max);
        if (min && text.size() < *min)
            return validationMessage(ValidationRule::tooShort, caption, text, *min);
        if (max && text.size() > *max)
            return validationMessage(ValidationRule::tooLong, caption, text, *max);
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
        DialogHook::information(window, QObject::tr("Fehler:"), message);
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

const QMap<QString, QString> &validationMessages()
{
    static const QMap<QString, QString> messages {
        {ValidationRule::required,
         QObject::tr("Feld '%1': Es muss ein Wert eingetragen oder ausgewählt werden.")},
        {ValidationRule::regexPattern,
         QObject::tr("Feld '%1': Der Wert (%2) entspricht nicht dem Abfragemuster.")},
        {ValidationRule::fileMustExist,
         QObject::tr("Feld '%1': Die Datei oder Ordner existieren nicht (%2).")},
        {ValidationRule::tooShort,
         QObject::tr("Feld '%1': Der Text (%2) muss länger als %3 Zeichen sein.")},
        {ValidationRule::tooLong,
         QObject::tr("Feld '%1': Der Text (%2) muss kürzer als %3 Zeichen sein.")},
    };
    return messages;
}

QString validationMessage(const QString &rule, const QString &caption)
{
    return validationMessages().value(rule).arg(caption);
}

QString validationMessage(const QString &rule, const QString &caption, const QString &text)
{
    return validationMessages().value(rule).arg(caption, text);
}

QString validationMessage(const QString &rule, const QString &caption, const QString &text,
                          int limit)
{
    return validationMessages().value(rule).arg(caption, text, QString::number(limit));
}

} // namespace kivra
