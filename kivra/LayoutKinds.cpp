#include "LayoutKinds.h"

#include "helper/FlowLayout.h"
#include <kivra/Records.h>

#include <QFormLayout>
#include <QGridLayout>
#include <QWidget>

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

} // namespace kivra
