#include "WidgetDataHooks.h"

namespace kivra {

// Placeholder until the image widget can take values: nothing is applied.
bool applyImageValue(QWidget *imageWidget, const QVariant &value)
{
    Q_UNUSED(imageWidget);
    Q_UNUSED(value);
    return false;
}

} // namespace kivra
