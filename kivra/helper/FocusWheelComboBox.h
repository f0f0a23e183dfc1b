#pragma once

#include <QComboBox>

namespace kivra::helper {

// A combo box that takes the mouse wheel only while it has focus, so scrolling a form past
// it does not change its value.
class FocusWheelComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit FocusWheelComboBox(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace kivra::helper
