#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace kivra {

// The width at which the line edit shows text on one line, frame and margins included;
// 0 for a null edit.
int lineEditWidthFor(const QLineEdit *edit, const QString &text);

// Fixes the height of a QTextEdit or QPlainTextEdit to show that many lines of its font;
// other widgets and lines <= 0 are left alone.
void setHeightForLines(QWidget *widget, int lines);

} // namespace kivra
