#pragma once

#include <Qt>

class QLayout;

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

} // namespace kivra
