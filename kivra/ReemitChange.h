#pragma once

class QObject;

namespace kivra {

// True only while reemitChange emits: the change handler then reports a value to the
// after-callbacks even when it did not change.
bool isForcedChange();

// Emits the object's own change signal once, in forced-change mode, so that the connected
// handler reports its current value. skipIfEmpty skips an empty widget (a line edit without
// text, a combo box without current item, ...); immediate picks the per-value signal of spin
// boxes and date edits instead of editingFinished. Other objects get nothing.
void reemitChange(QObject *object, bool skipIfEmpty, bool immediate);

} // namespace kivra
