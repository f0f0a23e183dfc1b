#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// The form's start-up from its window record, run once before the fields are made: with
// applyWindowOptions the window takes its title and size options; then, when the window's
// INI file exists, the values stored there are read into values (for named configurations
// those of the current one, which is remembered when none was). Nothing is written when the
// file does not exist yet.
void initFormFromOptions(const QPointer<QWidget> &window, const INFO &windowRecord,
                         QMap<QString, QVariant> *values, bool applyWindowOptions);

} // namespace kivra
