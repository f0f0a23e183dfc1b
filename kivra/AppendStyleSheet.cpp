#include "AppendStyleSheet.h"

#include <QString>
#include <QWidget>

namespace kivra {

void appendStyleSheet(QWidget *widget, const QString &rule)
{
    if (!widget)
        return;
    const QString old = widget->styleSheet();
    widget->setStyleSheet(old.isEmpty() ? rule : old + u' ' + rule);
}

} // namespace kivra
