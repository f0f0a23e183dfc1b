#include "TypeCodes_p.h"

#include "WidgetCreation_p.h"

#include <QObject>

#include <algorithm>
#include <iterator>

namespace kivra {

namespace {

constexpr unsigned kLayout = TypeCode::kLayout;
constexpr unsigned kList = TypeCode::kListField;
constexpr unsigned kObject = TypeCode::kTakesObject;
constexpr unsigned kSkipped = TypeCode::kSkipped;
using A = ButtonAction;

const char *const kChange = QT_TRANSLATE_NOOP("QObject", "Ändern...");
const char *const kHelp = QT_TRANSLATE_NOOP("QObject", "Hilfe");

// Ordered by code.
const TypeCode kTypeCodes[] = {
    {kNoElement, nullptr, kSkipped, A::None, nullptr, nullptr},
    {kVBoxLayout, openLayout, kLayout, A::None, nullptr, nullptr},
    {kHBoxLayout, openLayout, kLayout, A::None, nullptr, nullptr},
    {kGridLayout, openLayout, kLayout, A::None, nullptr, nullptr},
    {kFormLayout, openLayout, kLayout, A::None, nullptr, nullptr},
    {kFlowLayout, openLayout, kLayout, A::None, nullptr, nullptr},
    {kNoElementAlt, nullptr, kSkipped, A::None, nullptr, nullptr},
    {kNextGridRow, nextGridRow, 0, A::None, nullptr, nullptr},
    {kEndTabPages, endTabPages, 0, A::None, nullptr, nullptr},
    {kEndLayout, closeLayout, 0, A::None, nullptr, nullptr},
    {kLineEdit, createLineEdit, 0, A::None, nullptr, nullptr},
    {kTextEdit, createTextEdit, 0, A::None, nullptr, nullptr},
    {kPushButton, createPushButton, 0, A::None, nullptr, nullptr},
    {kLabel, createLabel, 0, A::None, nullptr, nullptr},
    {kCheckBox, createCheckBox, 0, A::None, nullptr, nullptr},
    {kListWidget, createListWidget, kList, A::None, nullptr, nullptr},
    {kComboBox, createComboBox, kList, A::None, nullptr, nullptr},
    {kImage, createImage, 0, A::None, nullptr, nullptr},
    {kCallerWidget, createCallerWidget, kObject, A::None, nullptr, nullptr},
    {kPlainTextEdit, createPlainTextEdit, 0, A::None, nullptr, nullptr},
    {kMenuBar, createMenuBar, kObject, A::None, nullptr, nullptr},
    {kCallerMenu, createCallerMenu, kObject, A::None, nullptr, nullptr},
    {kCallerAction, createCallerAction, kObject, A::None, nullptr, nullptr},
    {kStatusBar, createStatusBar, kObject, A::None, nullptr, nullptr},
    {kTabWidget, createTabWidget, kObject, A::None, nullptr, nullptr},
    {kTabPage, createTabPage, kObject, A::None, nullptr, nullptr},
    {kVLine, createLine, 0, A::None, nullptr, nullptr},
    {kHSpacer, addSpacer, 0, A::None, nullptr, nullptr},
    {kVSpacer, addSpacer, 0, A::None, nullptr, nullptr},
    {kStretch, addStretch, 0, A::None, nullptr, nullptr},
    {kHLine, createLine, 0, A::None, nullptr, nullptr},
    {kOkButton, createPushButton, 0, A::Accept, QT_TRANSLATE_NOOP("QObject", "OK"), "okbutton_"},
    {kCancelButton, createPushButton, 0, A::Reject, QT_TRANSLATE_NOOP("QObject", "Abbrechen"),
     "cancelbutton_"},
    {kHelpUrlButton, createPushButton, 0, A::OpenUrl, kHelp, nullptr},
    {kOpenLineEdit, createLineEdit, 0, A::OpenUrl, QT_TRANSLATE_NOOP("QObject", "Öffnen..."),
     nullptr},
    {kColorButton, createColorButton, 0, A::None, QT_TRANSLATE_NOOP("QObject", "Farbe ändern..."),
     nullptr},
    {kFontButton, createFontButton, 0, A::None, QT_TRANSLATE_NOOP("QObject", "Schrift ändern..."),
     nullptr},
    {kNumberSpinBox, createSpinBox, 0, A::None, nullptr, nullptr},
    {kDirLineEdit, createLineEdit, 0, A::ChooseDirectory, kChange, nullptr},
    {kDirButton, createPushButton, 0, A::ChooseDirectory, kChange, nullptr},
    {kOpenFileLineEdit, createLineEdit, 0, A::ChooseOpenFile, kChange, nullptr},
    {kOpenFileButton, createPushButton, 0, A::ChooseOpenFile, kChange, nullptr},
    {kDateEdit, createDateEdit, 0, A::None, nullptr, nullptr},
    {kDateTimeEdit, createDateTimeEdit, 0, A::None, nullptr, nullptr},
    {kSaveFileLineEdit, createLineEdit, 0, A::ChooseSaveFile, kChange, nullptr},
    {kSaveFileButton, createPushButton, 0, A::ChooseSaveFile, kChange, nullptr},
    {kCloseButton, createPushButton, 0, A::Accept, QT_TRANSLATE_NOOP("QObject", "Beenden"),
     "closebutton_"},
    {kSettingSelector, createSettingSelector, 0, A::None, nullptr, nullptr},
    {kMenuButton, createMenuButton, kList, A::None, nullptr, nullptr},
    {kHelpButton, createPushButton, 0, A::None, kHelp, "helpbutton_"},
    {kNamedVariable, nullptr, kSkipped, A::None, nullptr, nullptr},
};

} // namespace

const TypeCode *typeCodeOf(quint32 code)
{
    const auto *end = std::end(kTypeCodes);
    const auto *row =
        std::lower_bound(std::begin(kTypeCodes), end, code,
                         [](const TypeCode &entry, quint32 wanted) { return entry.code < wanted; });
    return row != end && row->code == code ? row : nullptr;
}

bool typeCodeHas(quint32 code, TypeCode::Trait trait)
{
    const TypeCode *row = typeCodeOf(code);
    return row && row->has(trait);
}

ButtonAction buttonAction(int code)
{
    const TypeCode *row = code < 0 ? nullptr : typeCodeOf(quint32(code));
    return row ? row->action : ButtonAction::None;
}

QString buttonCaption(int code)
{
    const TypeCode *row = code < 0 ? nullptr : typeCodeOf(quint32(code));
    return row && row->buttonCaption ? QObject::tr(row->buttonCaption) : QString();
}

} // namespace kivra
