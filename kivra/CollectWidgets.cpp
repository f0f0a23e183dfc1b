#include "CollectWidgets.h"

#include "WidgetMetadata.h"
#include "WidgetRegistry.h"

#include <algorithm>

namespace kivra {

QList<QPointer<QWidget>> collectWidgets(const QMap<QString, QVariant> *vars, int code)
{
    QList<QPointer<QWidget>> result;
    if (!vars)
        return result;
    for (auto it = vars->cbegin(); it != vars->cend(); ++it) {
        const WIDGET_INFO widgets = widgetsByName(vars, it.key());
        for (const QPointer<QWidget> &widget : widgets) {
            if (!widget)
                break;
            if (widgetMatchesCode(widget, code))
                result.append(widget);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const QPointer<QWidget> &a, const QPointer<QWidget> &b) {
                         return widgetPos(a) < widgetPos(b);
                     });
    return result;
}

} // namespace kivra
