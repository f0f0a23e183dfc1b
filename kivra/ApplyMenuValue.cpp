#include "WidgetDataHooks.h"

#include "MenuRegistry.h"
#include <kivra/ListData.h>
#include <kivra/Options.h>

#include <QAction>
#include <QActionGroup>

namespace kivra {

namespace {

void storeChecked(QMap<QString, QVariant> *vars, const QString &name, const QAction *action)
{
    VariantBinding stored(vars, name, true);
    if (stored.isBound())
        *stored.data() = action->isChecked();
}

} // namespace

// A menu action named by its "menuid" shows the value as its checked state. The value map
// keeps bools, as the actions' own triggers store them; checking one action of an exclusive
// group unchecks the others, so their entries follow.
bool applyMenuValue(QMap<QString, QVariant> *vars, const QString &name, const QVariant &value)
{
    QAction *action = findMenuActionById(vars, name);
    if (!action)
        return false;
    action->setChecked(value.toBool());
    storeChecked(vars, name, action);
    if (const QActionGroup *group = action->actionGroup()) {
        const QList<QAction *> members = group->actions();
        for (const QAction *member : members) {
            const QString id = member->property(OptionKey::menuid.latin1()).toString();
            if (member != action && !id.isEmpty())
                storeChecked(vars, id, member);
        }
    }
    return true;
}

} // namespace kivra
