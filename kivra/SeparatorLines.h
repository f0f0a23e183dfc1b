#pragma once

class QFrame;

namespace kivra {

// Sunken separator lines without parent; a size of 1 or more becomes the minimum height of
// a horizontal line and the minimum width of a vertical one.
QFrame *createHLine(int minHeight);
QFrame *createVLine(int minWidth);

} // namespace kivra
