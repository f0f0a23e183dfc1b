#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// Checks every visible, enabled and editable field widget of the form, in form order, against
// the rules in its options (file_must_exist, required, regex_pattern, min, max). The first
// failure gets the focus and is shown in one message box with window as parent; the form then
// stays open. True when every field passed.
bool validateForm(QWidget *window, QMap<QString, QVariant> *values);

// Whether the options hold any of the rule keys min, max, required, regex_pattern,
// regex_pattern_options or regex_pattern_wildcard.
bool hasValidationOptions(const QMap<QString, QVariant> &options);

} // namespace kivra
