#include "FlowLayout.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace kivra::helper {

FlowLayout::FlowLayout(int margin, int hSpacing, int vSpacing)
    : m_hSpacing(hSpacing)
    , m_vSpacing(vSpacing)
{
    if (margin >= 0)
        setContentsMargins(margin, margin, margin, margin);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addLayout(QLayout *layout)
{
    if (!layout)
        return;
    addChildLayout(layout);
    addItem(layout);
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

int FlowLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return {};
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return doLayout(QRect(0, 0, width, 0), true);
}

QSize FlowLayout::minimumSize() const
{
    QSize size;
    for (const QLayoutItem *item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize FlowLayout::sizeHint() const
{
    return minimumSize();
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect, false);
}

int FlowLayout::doLayout(const QRect &rect, bool testOnly) const
{
    const QMargins margins = contentsMargins();
    const QRect area =
        rect.adjusted(margins.left(), margins.top(), -margins.right(), -margins.bottom());
    int x = area.x();
    int y = area.y();
    int lineHeight = 0;
    for (QLayoutItem *item : m_items) {
        const int spaceX =
            itemSpacing(item, m_hSpacing, QStyle::PM_LayoutHorizontalSpacing, Qt::Horizontal);
        const int spaceY =
            itemSpacing(item, m_vSpacing, QStyle::PM_LayoutVerticalSpacing, Qt::Vertical);
        const QSize hint = item->sizeHint();
        int nextX = x + hint.width() + spaceX;
        // An item that ends exactly at the right edge still fits (right() is the last pixel);
        // the first item of a line stays on it, however wide it is.
        if (nextX - spaceX > area.right() + 1 && lineHeight > 0) {
            x = area.x();
            y = y + lineHeight + spaceY;
            nextX = x + hint.width() + spaceX;
            lineHeight = 0;
        }
        if (!testOnly)
            item->setGeometry(QRect(QPoint(x, y), hint));
        x = nextX;
        lineHeight = std::max(lineHeight, hint.height());
    }
    return y + lineHeight - rect.y() + margins.bottom();
}

int FlowLayout::parentSpacing(QStyle::PixelMetric metric) const
{
    QObject *owner = parent();
    if (!owner)
        return -1;
    if (owner->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(owner);
        return widget->style()->pixelMetric(metric, nullptr, widget);
    }
    return static_cast<QLayout *>(owner)->spacing();
}

int FlowLayout::itemSpacing(const QLayoutItem *item, int stored, QStyle::PixelMetric metric,
                            Qt::Orientation orientation) const
{
    const int spacing = stored >= 0 ? stored : parentSpacing(metric);
    if (spacing != -1)
        return spacing;
    // A nested layout or spacer has no style of its own: the layout's widget answers for it.
    const QWidget *owner = item->widget() ? item->widget() : parentWidget();
    const QStyle *style = owner ? owner->style() : QApplication::style();
    return style->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, orientation);
}

} // namespace kivra::helper
