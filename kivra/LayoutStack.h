#pragma once

#include <kivra/Records.h>

#include <QLayout>
#include <QList>
#include <QPointer>

namespace kivra {

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

} // namespace kivra
