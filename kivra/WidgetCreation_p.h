#pragma once

#include <kivra/Records.h>

#include <QVariant>

namespace kivra {

struct Field;
struct FormBuild;

// Builds one field into the form: prepares its options and captions, makes its widgets or
// layouts, connects them, gives them their captions, then places and registers them.
void buildField(FormBuild &build, const INFO &record, const QVariant &startValue);

// Whether the open tab widget drops a field of this type: nothing but a page (and the end of
// a layout or of the pages) may come before its first page, and a page needs a tab widget.
bool isDroppedByTabContext(const FormBuild &build, quint32 type);

// The makers of the larger kinds, each in a file of its own. Each fills the field's widget
// list and caption places and connects what it made.
void createSpinBox(FormBuild &build, Field &field);
void createMenuBar(FormBuild &build, Field &field);
void createCallerMenu(FormBuild &build, Field &field);
void createCallerAction(FormBuild &build, Field &field);
void createStatusBar(FormBuild &build, Field &field);
void createMenuButton(FormBuild &build, Field &field);
void createTabWidget(FormBuild &build, Field &field);
void createTabPage(FormBuild &build, Field &field);
void endTabPages(FormBuild &build);

} // namespace kivra
