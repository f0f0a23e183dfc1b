#pragma once

#include <kivra/Handlers.h>

#include <QList>
#include <QPointer>

class QAction;
class QComboBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// The connections a form's widgets get while they are made, and what is wired once every
// field exists: menu actions, the window timer and the initial notifications. Every callable
// keeps its own copies of the records and guarded pointers to the widgets, and a copy of a
// builder-owned value map so that the map lives as long as the connection.
namespace kivra {

struct Field;
struct FormBuild;

// A value widget of a named field (line edits, text edits, check boxes, list widgets, combo
// boxes, spin boxes and date edits): its change signals reach the change handlers.
void connectValueWidget(const FormBuild &build, const Field &field, QWidget *widget);

void connectGroupBox(const FormBuild &build, const Field &field, QGroupBox *box, QLayout *inner);
void connectBrowseButton(const FormBuild &build, const Field &field, QPushButton *button,
                         QLineEdit *edit);
void connectPushButton(const FormBuild &build, const Field &field, QPushButton *button);
void connectColorButton(const FormBuild &build, const Field &field, QPushButton *button);
void connectFontButton(const FormBuild &build, const Field &field, QPushButton *button);
void connectSettingSelector(const FormBuild &build, const Field &field, QComboBox *combo,
                            QPushButton *plus, QPushButton *minus);
void connectMenuButtonActions(const FormBuild &build, const Field &field, QPushButton *button,
                              const QList<QPointer<QAction>> &actions);
// What a handler of the field's widget is connected with: the records, the window, the
// widget, the value map (kept alive when the builder owns it), the field's prepared options
// and plain title, and what OK, Cancel and Beenden hand to the close sequence.
HandlerContext handlerContext(const FormBuild &build, const Field &field, QWidget *widget);

// Connected once the form is built, so that adding the pages and showing the start page
// reach no callback.
void connectTabWidget(const HandlerContext &context, QTabWidget *tabWidget);
// The action of a 20012 field; host is the menu bar or button that holds its menu.
void connectCallerAction(const FormBuild &build, const Field &field, QWidget *host,
                         QAction *action);

// After the last field: puts checkable menu actions into exclusive groups by "menugroupno",
// gives every action of the form's menus that no field wired a value-map entry and its
// handler, and shows tool tips in menus whose entries have some.
void wireMenuActions(FormBuild &build);

// After the last field: the window timer of the window option "timer" and the timer that lets
// the widgets with kEmitInitialChange or kEmitInitialChangeIfSet report their start values.
// Both start with startTimers once the form is ready.
void createTimers(FormBuild &build);
void startTimers(const FormBuild &build);

} // namespace kivra
