#include "ImageWidget.h"

namespace kivra::helper {

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

} // namespace kivra::helper
