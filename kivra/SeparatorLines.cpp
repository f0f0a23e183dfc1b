#include "SeparatorLines.h"

#include <QFrame>

namespace kivra {

namespace {

QFrame *createLine(QFrame::Shape shape)
{
    auto *line = new QFrame;
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

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

} // namespace kivra
