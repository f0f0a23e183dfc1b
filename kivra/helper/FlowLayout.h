#pragma once

#include <QLayout>
#include <QList>
#include <QStyle>

namespace kivra::helper {

// Places its items left to right and wraps to a new line where the width ends.
class FlowLayout : public QLayout
{
public:
    // A negative spacing asks the parent (widget style or layout) and then the item's style.
    explicit FlowLayout(int margin = -1, int hSpacing = -1, int vSpacing = -1);
    ~FlowLayout() override;

    // Takes the layout as a child: its widgets move to this layout's widget.
    void addLayout(QLayout *layout);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in rect unless testOnly; returns the height they need.
    int doLayout(const QRect &rect, bool testOnly) const;
    int parentSpacing(QStyle::PixelMetric metric) const;
    int itemSpacing(const QLayoutItem *item, int stored, QStyle::PixelMetric metric,
                    Qt::Orientation orientation) const;

    QList<QLayoutItem *> m_items;
    int m_hSpacing;
    int m_vSpacing;
};

} // namespace kivra::helper
