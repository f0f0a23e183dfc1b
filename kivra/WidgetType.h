#pragma once

#include <QtGlobal>

namespace kivra {

// Type codes of a description record. 1xxxx layouts, 2xxxx widgets, 3xxxx windows,
// 4xxxx lines and spacers, 5xxxx sub-kinds (buttons, pickers, editors), 60000 a variable.
enum WidgetType : quint32 {
    kNoElement = 0,
    kVBoxLayout = 10000,
    kHBoxLayout = 10001,
    kGridLayout = 10002,
    kFormLayout = 10003,
    kFlowLayout = 10004,
    kNoElementAlt = 11000,
    kNextGridRow = 11001,
    kEndTabPages = 11002,
    kEndLayout = 19999,

    kLineEdit = 20000,
    kTextEdit = 20001,
    kPushButton = 20002,
    kLabel = 20003,
    kCheckBox = 20004,
    kListWidget = 20005,
    kComboBox = 20006,
    kImage = 20007,
    kCallerWidget = 20008,
    kPlainTextEdit = 20009,
    kMenuBar = 20010,
    kCallerMenu = 20011,
    kCallerAction = 20012,
    kNoWidget = 20013,
    kStatusBar = 20014,
    kTabWidget = 20015,
    kTabPage = 20016,
    kNoWidgetAlt = 20017,

    kDialogWindow = 30000,
    kMainWindow = 30001,

    kVLine = 40000,
    kHSpacer = 40001,
    kVSpacer = 40002,
    kStretch = 40003,
    kHLine = 40004,

    kOkButton = 50000,
    kCancelButton = 50001,
    kHelpUrlButton = 50002,
    kOpenLineEdit = 50003,
    kColorButton = 50004,
    kFontButton = 50005,
    kNumberSpinBox = 50006,
    kDirLineEdit = 50007,
    kDirButton = 50008,
    kOpenFileLineEdit = 50009,
    kOpenFileButton = 50010,
    kDateEdit = 50011,
    kDateTimeEdit = 50012,
    kSaveFileLineEdit = 50013,
    kSaveFileButton = 50014,
    kCloseButton = 50015,
    kSettingSelector = 50016,
    kMenuButton = 50017,
    kHelpButton = 50018,

    kNamedVariable = 60000,
};

// Lookup filters: a base code is compared with a widget's own kind, a sub-kind with
// the record's type code.
constexpr bool isBaseTypeCode(qint64 code)
{
    return code >= 20000 && code <= 49999;
}
constexpr bool isSubKindCode(qint64 code)
{
    return code >= 50000 && code <= 59999;
}

} // namespace kivra
