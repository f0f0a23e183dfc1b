#pragma once

#include <kivra/FieldFlags.h>

#include <QImage>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace kivra::helper {

// Fits an image into an area, keeping its aspect ratio and centring it. An empty target
// starts as the whole area; the result is placed relative to the target's top-left corner.
// Without enlarge an image smaller than the area keeps its own size. False, and target
// unchanged, when the image or the area is empty.
bool fitImageRect(double imageWidth, double imageHeight, double areaWidth, double areaHeight,
                  bool enlarge, QRectF *target);

// A widget that shows one picture, scaled down to fit and centred.
class ImageWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ImageWidget(const QString &path = {}, QWidget *parent = nullptr);

    // An empty path clears the picture; any other path loads it from that file (a file that
    // cannot be read leaves no picture). Repaints in both cases.
    void setImagePath(const QString &path);
    // Takes a QImage, or a path as text; any other value keeps the picture. kAdjustToContents
    // fixes the width and kFitHeight the height to the picture's.
    void setImage(const QVariant &value, const FieldFlags &flags);
    const QImage &image() const { return m_image; }

    // A parentless image widget stays hidden, so a form under construction shows no stray
    // window; it appears once a layout has taken it into a window.
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};

} // namespace kivra::helper
