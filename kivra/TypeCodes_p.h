#pragma once

#include <kivra/Records.h>

#include <QString>

// What the form framework knows of each type code, in one table: adding a code is one row.
namespace kivra {

struct Field;
struct FormBuild;

// What a button of the code does of its own when clicked: a push button ends the form, opens
// its help address or stores a choice; the browse button beside a line edit opens the edit's
// text or puts a choice into the edit.
enum class ButtonAction {
    None,
    Accept,
    Reject,
    OpenUrl,
    ChooseDirectory,
    ChooseOpenFile,
    ChooseSaveFile,
};

struct TypeCode
{
    enum Trait : unsigned {
        // Opens a layout that the fields after it fill.
        kLayout = 0x1,
        // Holds list data; a stored selection is applied to its list.
        kListField = 0x2,
        // Its own value is the object it shows (a widget, menu, action, bar or tab widget).
        kTakesObject = 0x4,
        // Passed over by the builder before any preparation.
        kSkipped = 0x8,
    };

    quint32 code;
    // Makes the field's widgets or layouts; null for a code that makes nothing.
    void (*create)(FormBuild &build, Field &field);
    unsigned traits;
    ButtonAction action;
    // Caption of the code's button (untranslated); null for none.
    const char *buttonCaption;
    // Object-name stem of an unnamed fixed button; null for every other code.
    const char *fixedNameStem;

    bool has(Trait trait) const { return (traits & trait) != 0; }
};

// The row of a code; null for a code the table does not hold (20013, 20017, unknown codes),
// which makes nothing.
const TypeCode *typeCodeOf(quint32 code);

// Shortcuts to one column; false, None or empty for a code without row.
bool typeCodeHas(quint32 code, TypeCode::Trait trait);
ButtonAction buttonAction(int code);
// The translated caption of the code's button.
QString buttonCaption(int code);

} // namespace kivra
