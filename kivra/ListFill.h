#pragma once

#include <kivra/Records.h>

class QComboBox;
class QListWidget;

namespace kivra {

// How fillComboBox signals the new current item.
enum ComboChangeMode {
    kComboNeverSignal = 0,
    kComboSignalIfMoved = 1, // when the current row differs from the one before the refill
    kComboAlwaysSignal = 2,
};

// Refills a combo box from list data, with its signals blocked and updates off. Only the
// first selected item keeps its flag (in the list itself) and becomes the current item;
// none selected leaves no current item. With sort the items appear sorted by text
// (case-sensitive); the list keeps its order. Emits currentIndexChanged at most once,
// afterwards, as changeMode says.
void fillComboBox(T_LISTDATA &list, QComboBox *combo, int changeMode, bool adjustToContents,
                  bool sort);

// Refills a list widget from list data. A check list ticks the selected items; a multi-select
// list selects them (extended selection); a single-selection list keeps only the first
// selected flag (in the list itself) and makes that item current once signals are restored.
// fitWidth makes the list at least as wide as its contents.
void fillListWidget(T_LISTDATA &list, QListWidget *listWidget, bool fitWidth, bool checkable,
                    bool multiSelect, bool sort);

} // namespace kivra
