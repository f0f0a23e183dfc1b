#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace kivra::helper {

// A widget that shows one picture.
class ImageWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ImageWidget(const QString &path = {}, QWidget *parent = nullptr);

    // An empty path clears the picture; any other path loads it from that file (a file that
    // cannot be read leaves no picture). Repaints in both cases.
    void setImagePath(const QString &path);
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

} // namespace kivra::helper
