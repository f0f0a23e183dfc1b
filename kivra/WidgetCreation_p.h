#pragma once

#include <kivra/Records.h>

#include <QVariant>

#include <optional>

class QWidget;

namespace kivra {

struct Field;
struct FormBuild;

// Builds one field into the form: prepares its options and captions, makes its widgets or
// layouts, connects them, gives them their captions, then places and registers them.
void buildField(FormBuild &build, const INFO &record, const QVariant &startValue);

// Whether the open tab widget drops a field of this type: nothing but a page (and the end of
// a layout or of the pages) may come before its first page, and a page needs a tab widget.
bool isDroppedByTabContext(const FormBuild &build, quint32 type);

// How a widget of a field is registered.
enum class Enrolment {
    // Holds the field's value: carries the field's flags and options, and reports its start
    // value once the form is built when the field asks for it (kEmitInitialChange,
    // kEmitInitialChangeIfSet).
    Value,
    // Carries the field's flags and options; reports nothing of its own.
    Part,
    // A button or a line: neither flags nor options of its own.
    Plain,
};

// Registers a widget of the field at the form's next running position, under the field's
// registration name; its sub-kind is the field's type code unless one is given.
void registerFieldWidget(FormBuild &build, Field &field, QWidget *widget, int kind,
                         Enrolment enrolment, std::optional<int> subKind = {});

// The makers of the type codes, in the order of the type-code table. Each fills the field's
// widget list and caption places and connects what it made; the larger kinds have a file of
// their own.
void openLayout(FormBuild &build, Field &field);
void nextGridRow(FormBuild &build, Field &field);
void closeLayout(FormBuild &build, Field &field);
void createLineEdit(FormBuild &build, Field &field);
void createTextEdit(FormBuild &build, Field &field);
void createPushButton(FormBuild &build, Field &field);
void createLabel(FormBuild &build, Field &field);
void createCheckBox(FormBuild &build, Field &field);
void createListWidget(FormBuild &build, Field &field);
void createComboBox(FormBuild &build, Field &field);
void createImage(FormBuild &build, Field &field);
void createCallerWidget(FormBuild &build, Field &field);
void createPlainTextEdit(FormBuild &build, Field &field);
void createLine(FormBuild &build, Field &field);
void addSpacer(FormBuild &build, Field &field);
void addStretch(FormBuild &build, Field &field);
void createColorButton(FormBuild &build, Field &field);
void createFontButton(FormBuild &build, Field &field);
void createDateEdit(FormBuild &build, Field &field);
void createDateTimeEdit(FormBuild &build, Field &field);
void createSettingSelector(FormBuild &build, Field &field);
void createSpinBox(FormBuild &build, Field &field);
void createMenuBar(FormBuild &build, Field &field);
void createCallerMenu(FormBuild &build, Field &field);
void createCallerAction(FormBuild &build, Field &field);
void createStatusBar(FormBuild &build, Field &field);
void createMenuButton(FormBuild &build, Field &field);
void createTabWidget(FormBuild &build, Field &field);
void createTabPage(FormBuild &build, Field &field);
void endTabPages(FormBuild &build, Field &field);

} // namespace kivra
