#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// Checks every field of the form against the rules in its options before an accept.
// False after the first failure has been shown to the user; the form then stays open.
bool validateForm(QWidget *window, QMap<QString, QVariant> *values);

} // namespace kivra
