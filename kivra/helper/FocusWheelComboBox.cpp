#include "FocusWheelComboBox.h"

namespace kivra::helper {

FocusWheelComboBox::FocusWheelComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void FocusWheelComboBox::wheelEvent(QWheelEvent *event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
}

} // namespace kivra::helper
