#pragma once

#include <kivra/Records.h>

#include <QDialog>
#include <QLayout>
#include <QLineEdit>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>

class QAction;
class QListWidgetItem;

// The handlers behind a form's widgets other than plain value widgets: group boxes, tabs,
// check and selection lists, combo boxes, actions, button menus, the colour and font
// choosers, browse buttons and push buttons. Each keeps the value map current and runs the
// field's and the window's callbacks around the change. Only a field with kAskBefore asks
// the before-moment; a refusal puts a widget that already shows the change back (with its
// signals blocked) and stores nothing; otherwise the value is stored and the after-moment
// fires with the new and the old value. Every modal step goes through DialogHook.
namespace kivra {

// What a connection hands its handler. The builder fills it once per connection and the
// connected callable keeps the copy; widgets are guarded, so a handler whose window or
// widget is gone skips it quietly.
struct HandlerContext
{
    INFO field;
    INFO windowRecord;
    QPointer<QWidget> window;
    // The window as a dialog or main window; null when it is of the other class.
    QPointer<QDialog> dialog;
    QPointer<QMainWindow> mainWindow;
    // The widget handed to the callbacks: the sender (group box, tab widget, list, combo box,
    // button), or for actions the host widget or menu that holds the action.
    QPointer<QWidget> widget;
    // Group boxes: the layout inside the box, shown and hidden with kHideUnchecked.
    QPointer<QLayout> innerLayout;
    // Browse buttons: the line edit they fill.
    QPointer<QLineEdit> lineEdit;
    // Actions and button menus: the action that was triggered.
    QPointer<QAction> action;
    // Button menus: every action of the button's menu, in menu order.
    QList<QPointer<QAction>> menuActions;
    // The form's value map; may be null.
    QMap<QString, QVariant> *vars = nullptr;
    // Keeps a map that the builder owns alive as long as the connection exists; empty when
    // the caller owns the map.
    QSharedPointer<QMap<QString, QVariant>> keepAlive;
    // The field's name: the value-map key the handler writes.
    QString name;
    // The field's option map (inline caption options already taken apart).
    QVariantMap options;
    // The record's type code (the sub-kind of buttons and browse buttons).
    int typeCode = 0;
    // Push buttons: what OK, Cancel and Beenden hand to the close sequence.
    CloseSaveInfo closeSave;
    // Browse buttons: the title of the file dialog, the field's caption as plain text (without
    // markup or required marker).
    QString caption;
};

// A context for one field of a form: records, window (also as dialog or main window), the
// widget handed to the callbacks, the value map and the field's name and type code.
HandlerContext makeHandlerContext(const INFO &field, const INFO &windowRecord, QWidget *window,
                                  QWidget *widget, QMap<QString, QVariant> *vars,
                                  const QSharedPointer<QMap<QString, QVariant>> &keepAlive = {});

// Checkable group box, clicked(bool): stores int 1 or 0 under the name; with kHideUnchecked
// the box's inner widgets follow the state. Before/after: kBeforeDataChanged /
// kAfterDataChanged with the new state and its negation.
void onGroupBoxClicked(const HandlerContext &context, bool checked);

// Tab widget, currentChanged(int): old value is the stored index (-1 when none or not a
// number). Before/after: kKillActive / kSetActive. A refusal shows the former tab again.
void onTabChanged(const HandlerContext &context, int index);

// Check list, itemChanged: the user data of the checked items, recorded in the field's list
// data (also when none is checked). Without kMultiSelect checking one item unchecks the others.
void onListItemChanged(const HandlerContext &context, QListWidgetItem *item);

// Selection list, itemSelectionChanged: as the check list, with the selected items.
void onListSelectionChanged(const HandlerContext &context);

// Combo box, currentIndexChanged: the current item's user data, recorded in the field's list
// data as a single selection. A refusal makes the former item current again.
void onComboIndexChanged(const HandlerContext &context);

// Action of a 20012 field or a menu action, triggered(bool): stores the checked state under
// the name (keeping every named action of its group in step). Before/after: kBeforeAction /
// kAfterAction with the QAction* as value. Without a map or a name only kAfterAction fires.
void onActionTriggered(const HandlerContext &context, bool checked);

// Action of a 50017 button's menu, triggered(bool): the action's data marks the field's list
// data (only that entry with kMultiSelect, exactly that entry without). A refusal puts the
// list data's check marks back onto the menu's actions.
void onButtonMenuActionTriggered(const HandlerContext &context, bool checked);

// Colour button (50004): asks for a colour starting at the stored one; the chosen colour is
// stored and shown as the button's icon. Cancelling or choosing the same colour does nothing.
void chooseColor(const HandlerContext &context);

// Font button (50005): as the colour button; the button shows the font and "family, Npt".
void chooseFont(const HandlerContext &context);

// Browse button (50003, 50007, 50009, 50013): opens the line edit's text with the desktop's
// handler (50003) or asks for a directory, a file to open or a file to save and puts the
// choice into the line edit. Before/after: kBeforeAction / kAfterAction.
void onBrowseClicked(const HandlerContext &context);

// Push buttons: OK and Beenden run the close sequence with kAccept, Abbrechen with kReject,
// then accept, reject or close the window. Help (50002) opens the stored address; the
// chooser buttons (50008, 50010, 50014) ask for a directory or file and store it; every
// button runs kBeforeAction / kAfterAction around its action.
void onButtonClicked(const HandlerContext &context);

// One line of a menu listing is menuEntryText of Menus.h.

} // namespace kivra
