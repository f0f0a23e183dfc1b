#pragma once

#include <kivra/Records.h>

#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra {

// The options file's part of closing a form: removes the framework's own entries from the
// value map and, for an accepted close, saves the values into the window's INI file (into the
// current named configuration when the form keeps several), after asking when iniautosave is
// off. While closeSave's filter is on only its kept names are saved; a null closeSave saves
// every entry.
void saveIniOnClose(QWidget *window, const INFO &windowRecord, QMap<QString, QVariant> *values,
                    const CloseSaveInfo *closeSave, bool accepted);

} // namespace kivra
