#pragma once

#include <QLatin1String>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>

// Checking a form's fields against the rules in their options before an accepting close,
// and the messages of the rules that fail.
namespace kivra {

// Checks every visible, enabled and editable field widget of the form, in form order, against
// the rules in its options (file_must_exist, required, regex_pattern, min, max). The first
// failure gets the focus and is shown in one message box with window as parent; the form then
// stays open. True when every field passed.
bool validateForm(QWidget *window, QMap<QString, QVariant> *values);

// Whether the options hold any of the rule keys min, max, required, regex_pattern,
// regex_pattern_options or regex_pattern_wildcard.
bool hasValidationOptions(const QMap<QString, QVariant> &options);

// The rule keys of the message table.
namespace ValidationRule {
inline constexpr QLatin1String required {"required"};
inline constexpr QLatin1String regexPattern {"regex_pattern"};
inline constexpr QLatin1String fileMustExist {"file_must_exist"};
// The option keys min and max followed by "_2".
inline constexpr QLatin1String tooShort {"min_2"};
inline constexpr QLatin1String tooLong {"max_2"};
} // namespace ValidationRule

// The messages of failed validation rules by rule key. Translated once, on first use.
const QMap<QString, QString> &validationMessages();

// The message of a failed rule with its placeholders filled: %1 the field's caption, %2 the
// text or path, %3 the length limit. All are filled at once, so a "%2" inside the caption or
// the text stays as it was typed.
QString validationMessage(const QString &rule, const QString &caption);
QString validationMessage(const QString &rule, const QString &caption, const QString &text);
QString validationMessage(const QString &rule, const QString &caption, const QString &text,
                          int limit);

} // namespace kivra
