#include "LayoutStack.h"

#include "KivraLog_p.h"
#include "LayoutKinds.h"
#include "helper/FlowLayout.h"
#include <kivra/Registry.h>

#include <QBoxLayout>
#include <QFormLayout>
#include <QGridLayout>

#include <algorithm>

namespace kivra {

namespace {

// The grid cell for the next placement; moves the cursor past it.
int takeGridColumn(LayoutStackEntry &top, int column, int span)
{
    const int taken = std::max(column, top.column);
    top.column = span < 0 ? 0 : taken + span;
    return taken;
}

} // namespace

bool topIsGrid(const LayoutStack &stack)
{
    return !stack.isEmpty() && qobject_cast<QGridLayout *>(stack.last().layout.data());
}

void placeLayout(LayoutStack &stack, QLayout *child, int column, int &span, bool newRow,
                 bool keepTop, Qt::Alignment alignment, int stretch)
{
    if (stack.isEmpty()) {
        qCWarning(lcKivra) << "placeLayout: no open layout";
        return;
    }
    const int columnSpan = span == 0 ? 1 : span;
    LayoutStackEntry &top = stack.last();
    QLayout *const parent = top.layout;
    int row = 0;
    int cell = 0;
    if (qobject_cast<QGridLayout *>(parent)) {
        row = top.row;
        cell = takeGridColumn(top, column, columnSpan);
        if (newRow) {
            ++top.row;
            top.column = 0;
        }
    }
    if (!keepTop)
        stack.append({child, 0, 0});
    if (parent)
        addLayoutTo(parent, child, row, cell, 1, columnSpan, alignment, stretch);
    span = 0;
}

void placeWidget(LayoutStack &stack, int index, const WIDGET_INFO &widgets, int column, int &span,
                 int stretch, Qt::Alignment alignment)
{
    const int columnSpan = span == 0 ? 1 : span;
    span = 1;
    QWidget *const widget = widgetAt(widgets, index);
    if (stack.isEmpty() || !widget)
        return;
    LayoutStackEntry &top = stack.last();
    QLayout *const layout = top.layout;
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        const int cell = takeGridColumn(top, column, columnSpan);
        grid->addWidget(widget, top.row, cell, 1, columnSpan, alignment);
    } else if (auto *box = qobject_cast<QBoxLayout *>(layout)) {
        box->addWidget(widget, stretch, alignment);
    } else if (auto *form = qobject_cast<QFormLayout *>(layout)) {
        if (index % 2 != 0)
            return;
        if (QWidget *field = widgetAt(widgets, index + 1))
            form->addRow(widget, field);
        else
            form->addRow(widget);
        if (alignment)
            form->setLabelAlignment(alignment);
    } else if (auto *flow = dynamic_cast<helper::FlowLayout *>(layout)) {
        flow->addWidget(widget);
    }
}

} // namespace kivra
