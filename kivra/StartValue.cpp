#include "StartValue_p.h"

#include <kivra/FieldFlags.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>
#include <kivra/Selection.h>

#include "FormBuild_p.h"
#include "ObjectValue_p.h"
#include "TypeCodes_p.h"

#include <QAction>

namespace kivra {

namespace {

// What the field puts into the value map of its own: its value, except that an object it
// shows is no value (an action stands for its checked state). A pointer in the map would
// outlive its object and cannot be saved.
QVariant ownValue(const INFO &field)
{
    if (!typeCodeHas(field.type, TypeCode::kTakesObject) || !holdsObject(field.value))
        return field.value;
    if (auto *action = objectFromValue<QAction>(field.value))
        return action->isChecked();
    return {};
}

bool isKept(const FormBuild &build, const INFO &field)
{
    if (field.name.isEmpty() || hasFlags(field.flags, kSkipInFirstPass))
        return false;
    if (hasFlags(field.flags, kKeepInFirstPass) || (build.formFlags & kKeepAllNamed))
        return true;
    // An action named by its "menuid" is kept when its menu entry was.
    return field.type == kCallerAction && build.closeSave.keptNames.contains(field.name);
}

// A list field whose stored value is a selection: the field's list with that selection
// marked. When the selection names no item the field keeps its own list, and so does the map,
// so that the map never disagrees with what the widget shows.
QVariant restoreList(FormBuild &build, const INFO &field, const QVariant &stored)
{
    if (isAnyListData(stored))
        return stored;
    QVariant start;
    if (isAnyListData(field.value)) {
        QVariant marked = field.value;
        const bool single = field.type == kComboBox || !hasFlags(field.flags, kMultiSelect);
        start = applySelectionToListData(stored, &marked, single) ? marked : field.value;
    }
    build.vars->insert(field.name, start);
    return start;
}

} // namespace

QVariant takeStartValue(FormBuild &build, INFO &field)
{
    if (field.type == kCallerAction && field.name.isEmpty())
        if (auto *action = objectFromValue<QAction>(field.value))
            field.name = action->property(OptionKey::menuid.latin1()).toString();

    QMap<QString, QVariant> &vars = *build.vars;
    if (isKept(build, field) && vars.contains(field.name)) {
        const QVariant stored = vars.value(field.name);
        if (typeCodeHas(field.type, TypeCode::kListField))
            return restoreList(build, field, stored);
        // A check box without a stored state keeps its own unless bit 71 asks otherwise.
        const bool keepOwnState = field.type == kCheckBox && !stored.isValid() &&
            !hasFlags(field.flags, kKeepInvalidCheckValue);
        if (!keepOwnState) {
            if (isVariantPtr(field.value) && !isVariantPtr(stored)) {
                if (QVariant *bound = field.value.value<T_VARIANT_PTR>())
                    *bound = stored;
                vars.insert(field.name, field.value);
                return field.value;
            }
            return stored;
        }
    }

    if (field.name.isEmpty() && (isListDataPtr(field.value) || isVariantPtr(field.value)))
        field.name = nextAutoVarKey();
    const QVariant own = ownValue(field);
    if (!field.name.isEmpty())
        vars.insert(field.name, own);
    return own;
}

} // namespace kivra
