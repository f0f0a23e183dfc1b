#include "WidgetDataHooks.h"

#include "helper/ImageWidget.h"
#include <kivra/Registry.h>

namespace kivra {

bool applyImageValue(QWidget *imageWidget, const QVariant &value)
{
    auto *image = qobject_cast<helper::ImageWidget *>(imageWidget);
    if (!image)
        return false;
    image->setImage(value, widgetFlags(image));
    return true;
}

} // namespace kivra
