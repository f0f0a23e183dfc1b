#pragma once

class QString;
class QWidget;

namespace kivra {

// Adds a rule to the widget's style sheet, after a blank when it has one; a null widget is
// left alone.
void appendStyleSheet(QWidget *widget, const QString &rule);

} // namespace kivra
