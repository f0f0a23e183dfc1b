#include "Placement.h"

#include <kivra/Registry.h>
#include <kivra/helper/FlowLayout.h>

#include "KivraLog_p.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kivra {

namespace {

void alignChild(QLayout *parent, QLayout *child, Qt::Alignment alignment)
{
    if (alignment)
        parent->setAlignment(child, alignment);
}

void setItemWidgetsVisible(QLayout *layout, bool visible, bool intoChildLayouts)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget())
            widget->setVisible(visible);
        else if (QLayout *child = item->layout(); child && intoChildLayouts)
            setItemWidgetsVisible(child, visible, false);
    }
}

// The grid cell for the next placement; moves the cursor past it.
int takeGridColumn(LayoutStackEntry &top, int column, int span)
{
    const int taken = std::max(column, top.column);
    top.column = span < 0 ? 0 : taken + span;
    return taken;
}

QFrame *createLine(QFrame::Shape shape)
{
    auto *line = new QFrame;
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QLayout *createLayout(int code)
{
    switch (code) {
    case kVBoxLayout:
        return new QVBoxLayout;
    case kGridLayout:
        return new QGridLayout;
    case kFormLayout:
        return new QFormLayout;
    case kFlowLayout:
        return new helper::FlowLayout(-1, -1, -1);
    case kHBoxLayout:
    default:
        return new QHBoxLayout;
    }
}

QLayout *createLayoutLike(const QLayout *model)
{
    if (qobject_cast<const QGridLayout *>(model))
        return createLayout(kGridLayout);
    if (qobject_cast<const QVBoxLayout *>(model))
        return createLayout(kVBoxLayout);
    if (qobject_cast<const QHBoxLayout *>(model))
        return createLayout(kHBoxLayout);
    if (qobject_cast<const QFormLayout *>(model))
        return createLayout(kFormLayout);
    if (dynamic_cast<const helper::FlowLayout *>(model))
        return createLayout(kFlowLayout);
    return createLayout(kHBoxLayout);
}

bool addLayoutTo(QLayout *parent, QLayout *child, int row, int column, int rowSpan, int columnSpan,
                 Qt::Alignment alignment, int stretch)
{
    if (auto *vbox = qobject_cast<QVBoxLayout *>(parent)) {
        vbox->addLayout(child, stretch);
        alignChild(parent, child, alignment);
    } else if (auto *hbox = qobject_cast<QHBoxLayout *>(parent)) {
        hbox->addLayout(child, 0);
        alignChild(parent, child, alignment);
    } else if (auto *grid = qobject_cast<QGridLayout *>(parent)) {
        grid->addLayout(child, row, column, rowSpan, columnSpan, alignment);
    } else if (auto *form = qobject_cast<QFormLayout *>(parent)) {
        form->addRow(child);
    } else if (auto *flow = dynamic_cast<helper::FlowLayout *>(parent)) {
        flow->addLayout(child);
        alignChild(parent, child, alignment);
    } else {
        return false;
    }
    return true;
}

void setLayoutWidgetsVisible(QLayout *layout, bool visible)
{
    if (layout)
        setItemWidgetsVisible(layout, visible, true);
}

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

QFrame *createHLine(int minHeight)
{
    QFrame *line = createLine(QFrame::HLine);
    if (minHeight >= 1)
        line->setMinimumHeight(minHeight);
    return line;
}

QFrame *createVLine(int minWidth)
{
    QFrame *line = createLine(QFrame::VLine);
    if (minWidth >= 1)
        line->setMinimumWidth(minWidth);
    return line;
}

void showWindowDeferred(const QPointer<QWidget> &window, FormFlags formFlags)
{
    if (!window)
        return;
    if ((formFlags & kCentered) && !(formFlags & kMaximized)) {
        // move() places the frame; shifting it by the client area's offset from the centre
        // centres the client area whatever the frame's size.
        if (const QScreen *screen = window->screen())
            window->move(window->pos() + screen->availableGeometry().center() -
                         window->geometry().center());
    }
    if (formFlags & kMaximized)
        window->showMaximized();
    if (formFlags & kActivate) {
        window->show();
        window->activateWindow();
        window->raise();
    }
}

} // namespace kivra
