#pragma once

#include <kivra/Records.h>

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>
#include <Qt>

class QWidget;

// The one entry point that turns a form description into live widgets.
namespace kivra {

// Builds the form described by window (a 30000 dialog or 30001 main window record) and fields
// (in display order), and then, by formFlags, only returns it or shows, opens or executes it.
//
// With kNewWindow a window of the record's type is made with parent and windowFlags; without
// it the form is built into parent (which takes windowFlags with kApplyWindowFlags). vars is
// the form's value map: kept fields start from its values (restored from the options file
// first) and every change is written back into it; null makes the builder keep a map of its
// own, handed out in the result and kept alive for as long as any widget of the form can
// still use it. keptNames, when given, receives the names the options file keeps.
//
// Only built: the result holds exit code 1 and the root layout, which is installed nowhere
// unless kNewWindow or kInstallLayout put it into the window. Run: kExec returns once the
// dialog has closed, with its exec() result; kOpen and kShow return at once with 1, the window
// deleting itself on close (or, with kDeleteLater, when the result's window pointer is
// released); a main window returns its exit code once it has closed. A run flag without any
// window only builds.
FormResult buildForm(QWidget *parent, FormFlags formFlags, Qt::WindowFlags windowFlags,
                     const INFO &window, const QList<INFO> &fields, QMap<QString, QVariant> *vars,
                     QSet<QString> *keptNames);

} // namespace kivra
