#include "ImageWidget.h"

#include <QPainter>
#include <QSizeF>

namespace kivra::helper {

bool fitImageRect(double imageWidth, double imageHeight, double areaWidth, double areaHeight,
                  bool enlarge, QRectF *target)
{
    if (!target || QSizeF(imageWidth, imageHeight).isEmpty() ||
        QSizeF(areaWidth, areaHeight).isEmpty())
        return false;
    if (target->isEmpty())
        *target = QRectF(0, 0, areaWidth, areaHeight);

    double width = imageWidth;
    double height = imageHeight;
    if (enlarge || areaWidth <= imageWidth || areaHeight <= imageHeight) {
        if (imageWidth > imageHeight) {
            width = areaWidth;
            height = imageHeight * areaWidth / imageWidth;
            if (height > areaHeight) {
                const double ratio = height / areaHeight;
                height = areaHeight;
                width = areaWidth / ratio;
            }
        } else {
            width = imageWidth * areaHeight / imageHeight;
            height = areaHeight;
            if (width > areaWidth) {
                const double ratio = width / areaWidth;
                width = areaWidth;
                height = areaHeight / ratio;
            }
        }
    }
    *target = QRectF(target->topLeft(), QSizeF(width, height))
                  .translated((areaWidth - width) * 0.5, (areaHeight - height) * 0.5);
    return true;
}

ImageWidget::ImageWidget(const QString &path, QWidget *parent)
    : QWidget(parent)
{
    setImagePath(path);
}

void ImageWidget::setImagePath(const QString &path)
{
    m_image = QImage();
    if (!path.isEmpty())
        m_image.load(path);
    update();
}

void ImageWidget::setImage(const QVariant &value, const FieldFlags &flags)
{
    const QImage image = qvariant_cast<QImage>(value);
    if (!image.isNull()) {
        m_image = image;
        update();
    } else if (const QString path = value.toString(); !path.isEmpty()) {
        setImagePath(path);
    }
    if (hasFlags(flags, kAdjustToContents))
        setFixedWidth(m_image.width());
    if (hasFlags(flags, kFitHeight))
        setFixedHeight(m_image.height());
}

void ImageWidget::setVisible(bool visible)
{
    if (visible && !parentWidget())
        return;
    QWidget::setVisible(visible);
}

void ImageWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    if (m_image.isNull())
        return;
    QRectF target;
    if (m_image.rect() == rect())
        target = rect();
    else if (!fitImageRect(m_image.width(), m_image.height(), width(), height(), false, &target))
        return;
    QPainter painter(this);
    painter.drawImage(target, m_image, QRectF(m_image.rect()));
}

} // namespace kivra::helper
