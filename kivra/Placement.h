#pragma once

#include <kivra/FieldFlags.h>
#include <kivra/Records.h>

#include <QLayout>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <Qt>

class QFrame;

// Where a form's parts go: layouts by type code, the stack of open layouts and the placement
// of fields into its top (grid cells, boxes, form rows, flow), separator lines, the captions
// a field's widgets show, and the window's place on the screen once it is shown.
namespace kivra {

// A new layout without parent for a layout type code: 10000 vertical box, 10001 horizontal
// box, 10002 grid, 10003 form, 10004 flow; any other code a horizontal box.
QLayout *createLayout(int code);

// A new empty layout of the same kind as model (a horizontal box for any other kind or none).
QLayout *createLayoutLike(const QLayout *model);

// Puts child into parent as a child layout, by the parent's kind: a vertical box applies the
// stretch, a grid the cell, span and alignment, boxes and flow layouts a non-zero alignment;
// a form layout adds it as a row of its own. False, and nothing done, for any other parent.
bool addLayoutTo(QLayout *parent, QLayout *child, int row, int column, int rowSpan, int columnSpan,
                 Qt::Alignment alignment, int stretch);

// Shows or hides the widgets of the layout and of its direct child layouts (not deeper).
void setLayoutWidgetsVisible(QLayout *layout, bool visible);

// One open layout of a form under construction, with the grid cursor used while it is a
// QGridLayout: the current row and its next free column.
struct LayoutStackEntry
{
    QPointer<QLayout> layout;
    int row = 0;
    int column = 0;
};

// The open layouts; the last entry is the top, into which fields are placed.
using LayoutStack = QList<LayoutStackEntry>;

// True when the stack is not empty and its top layout is a grid.
bool topIsGrid(const LayoutStack &stack);

// Puts child into the top layout; unless keepTop the child then becomes the top. In a grid it
// takes the cell (current row, max(column, next free column)) spanning span columns (0 reads
// as 1); newRow then moves the cursor to the start of the next row. span is reset to 0.
// Nothing happens on an empty stack.
void placeLayout(LayoutStack &stack, QLayout *child, int column, int &span, bool newRow,
                 bool keepTop, Qt::Alignment alignment, int stretch);

// Puts the widget at index of a field's widget list into the top layout: into the grid cell
// as for layouts, into a box with stretch and alignment, into a form layout as label and
// field (the pair at an even index and the next widget; an odd index was placed with its
// predecessor), into a flow layout as it is. span is reset to 1. A gone widget is skipped.
void placeWidget(LayoutStack &stack, int index, const WIDGET_INFO &widgets, int column, int &span,
                 int stretch, Qt::Alignment alignment);

// Sunken separator lines without parent; a size of 1 or more becomes the minimum height of
// a horizontal line and the minimum width of a vertical one.
QFrame *createHLine(int minHeight);
QFrame *createVLine(int minWidth);

// The window's showing step once the event loop runs: kCentered (without kMaximized) centres
// it on its screen's available area, kMaximized shows it maximised, kActivate shows, activates
// and raises it. Nothing when the window is gone.
void showWindowDeferred(const QPointer<QWidget> &window, FormFlags formFlags);

// Text put before the caption of a required field; empty in this system.
const QString &requiredMarkerPrefix();
// Text put after the caption of a required field: a red star.
const QString &requiredMarkerSuffix();

// The caption with the required markers when the flags ask for them (kRequired without
// kNoRequiredMarker) and the caption is not empty; otherwise the caption unchanged.
QString markRequiredCaption(const QString &caption, const FieldFlags &flags);

// The caption's ";"-parts (empty parts kept), or the whole caption with kNoCaptionSplit.
// The first part is the caption shown; the builder hands the others to the field's widgets.
QStringList captionParts(const QString &caption, const FieldFlags &flags);

// Default captions of the buttons the builder makes, by sub-kind; a code without an entry
// has no caption. Translated once, on first use: call it after the translator is installed.
QMap<int, QString> buttonCaptions();

// One place for a caption part: a widget that shows it, or none to ask for a caption label
// of its own; defaultText is shown where the caption has no non-empty part for the place.
struct CaptionPair
{
    QPointer<QWidget> target;
    QString defaultText;
};

// The field whose captions are placed. The widget list and the running position are the
// builder's and are updated when a caption label is made.
struct CaptionField
{
    QString caption;
    FieldFlags flags;
    WIDGET_INFO &widgets;
    int &position;
    QString name;
    QVariant options;
    // The caption's ";"-parts, one per place in order.
    QStringList captionParts;
};

// Gives each place its caption part in order: push buttons, check boxes and labels show it
// (bold buttons and check boxes with kBoldGroupTitle). A first place without widget gets a
// new label with the caption, registered as the field's widget 0 (unless the caption is
// empty or kNoBoldCaption asks for none; the next place then takes the part instead).
void applyCaptions(const QList<CaptionPair> &pairs, CaptionField &field);

// Adds a rule to the widget's style sheet, after a blank when it has one; a null widget is
// left alone.
void appendStyleSheet(QWidget *widget, const QString &rule);

} // namespace kivra
