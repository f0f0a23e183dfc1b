#pragma once

#include <kivra/FieldFlags.h>

#include <QList>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <any>
#include <functional>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

// The records a form is described with: one INFO for the window and one per field, the type
// codes, the data a field can hold, the callbacks it can carry and what the builder is called
// with and returns.
namespace kivra {

// Type codes of a record. 1xxxx layouts, 2xxxx widgets, 3xxxx windows, 4xxxx lines and
// spacers, 5xxxx sub-kinds (buttons, pickers, editors), 60000 a variable.
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

// Content of a list or combo field. One item: display text, selected (checked) flag,
// user data, and extra (role, value) pairs set on the item.
using T_LISTDATA = std::vector<
    std::tuple<QString, bool, QVariant, std::vector<std::pair<Qt::ItemDataRole, QVariant>>>>;
using T_LISTITEM = T_LISTDATA::value_type;
// A list owned by the caller; edits through the value map reach the caller's list.
using T_LISTDATA_PTR = T_LISTDATA *;
// A QVariant owned by the caller and bound to a field.
using T_VARIANT_PTR = QVariant *;
using T_VARMAP_SHARED_PTR = QSharedPointer<QMap<QString, QVariant>>;
// The widgets registered under one field name, in registration order.
using WIDGET_INFO = QList<QPointer<QWidget>>;

// Registers the framework's types with the meta-type system under their names
// ("kivra::T_LISTDATA", ...). Safe to call any number of times.
void registerMetaTypes();

bool isListData(const QVariant &value);
bool isListDataPtr(const QVariant &value);
// List data by value or through a pointer.
bool isAnyListData(const QVariant &value);
bool isVariantPtr(const QVariant &value);
// A QVariantList or a QStringList.
bool isList(const QVariant &value);

struct INFO;

// The moments at which the framework calls a form's callbacks. A result of 0 refuses
// for the before-moments (kBeforeDataChanged, kBeforeAction, kValidate, kKillActive)
// and for the close moments (kAccept, kReject, kClose); other results are ignored.
enum CallbackType {
    kInit = 0,
    kAccept = 1,
    kReject = 2,
    kClose = 3,
    kBeforeDataChanged = 4,
    kAfterDataChanged = 5,
    kBeforeAction = 6,
    kAfterAction = 7,
    kValidate = 8,
    kTimer = 9,
    kSetActive = 10,
    kKillActive = 11,
    kCleanup = 12,
};

// Names in the order of the enumeration; "" for a value outside it.
const char *callbackTypeName(CallbackType type);

// The arguments of one callback; every reference is valid only during the call.
struct CallbackContext
{
    const QPointer<QWidget> &window;
    // The widget that caused the call: the window for kInit, null for kTimer.
    const QPointer<QWidget> &widget;
    const QVariant &value;
    CallbackType type;
    // The record of the field that caused the call; the window record for window moments.
    const INFO &field;
    QMap<QString, QVariant> *vars;
    // A before-callback may overwrite it to replace the value; null where there is none.
    QVariant *newValue;
    const QVariant *oldValue;
};

using LegacyCallback =
    std::function<int(const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                      const QVariant &value, CallbackType type, const INFO &field,
                      QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue)>;
using ContextCallback = std::function<int(const CallbackContext &)>;
// Index 0: no callback, 1: LegacyCallback, 2: ContextCallback.
using CallbackVariant = std::variant<std::monostate, LegacyCallback, ContextCallback>;

// What a record's value can be built from. Pointer forms bind the field to an object
// that the caller keeps; edits then go to the caller's list or variant.
using InfoValue =
    std::variant<WIDGET_INFO, T_LISTDATA, T_LISTDATA_PTR, T_VARIANT_PTR, QObject *, QVariant>;

// The description of one window or one field.
struct INFO
{
    // The window's event filter; defined with the window classes.
    class UserEventFilter;

    INFO() = default;
    INFO(quint32 type, const FieldFlags &flags = {}, const QVariant &options = QString(),
         const InfoValue &value = QVariant(), const QString &name = {},
         const CallbackVariant &callback = {}, const std::any &payload = {},
         const QVariant &extra = {});

    // A WidgetType code.
    quint32 type = 0;
    FieldFlags flags;
    // A QVariantMap of option keys, or a caption text that may carry inline options.
    QVariant options = QString();
    // Initial value or data of the field.
    QVariant value;
    // Value-map key of the field; empty = unnamed.
    QString name;
    CallbackVariant callback;
    std::any payload;
    QVariant extra;
};

// Turns a value alternative into the QVariant that a record stores.
QVariant infoValueToVariant(const InfoValue &value);

// The form builder's 32-bit flag word.
using FormFlags = quint32;

enum FormFlag : FormFlags {
    kNewWindow = 0x1,
    kFixedSize = 0x2,
    kNoEscapeHandling = 0x4,
    kBoldCaptions = 0x8,
    kApplyWindowFlags = 0x10,
    kInstallLayout = 0x20,
    kExec = 0x40,
    kOpen = 0x80,
    kShow = 0x100,
    kApplicationModal = 0x200,
    kKeepAllNamed = 0x400,
    kScrollArea = 0x800,
    kWheelNeedsFocus = 0x1000,
    kMaximized = 0x2000,
    kCentered = 0x4000,
    kActivate = 0x8000,
    kStaysOnTop = 0x10000,
    kSaveAllOnClose = 0x20000,
    kLocalEventLoop = 0x40000,
    kDeleteLater = 0x80000,
    kCloseAccepts = 0x100000,
};

// Window flags of a form's window: Dialog or Window with a title and the buttons named.
inline constexpr Qt::WindowFlags kDlgTitleClose =
    Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kDlgTitleMinMax = Qt::Dialog | Qt::WindowTitleHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint;
inline constexpr Qt::WindowFlags kDlgTitleMinMaxClose = kDlgTitleMinMax | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kDlgTitleSysMinMax = kDlgTitleMinMax | Qt::WindowSystemMenuHint;
inline constexpr Qt::WindowFlags kDlgTitleSysMinMaxClose =
    kDlgTitleSysMinMax | Qt::WindowCloseButtonHint;

inline constexpr Qt::WindowFlags kWndTitleClose =
    Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kWndTitleMinMax = Qt::Window | Qt::WindowTitleHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint;
inline constexpr Qt::WindowFlags kWndTitleMinMaxClose = kWndTitleMinMax | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kWndTitleSysMinMax = kWndTitleMinMax | Qt::WindowSystemMenuHint;
inline constexpr Qt::WindowFlags kWndTitleSysMinMaxClose =
    kWndTitleSysMinMax | Qt::WindowCloseButtonHint;

inline constexpr Qt::WindowFlags kDefaultDialogFlags = kDlgTitleSysMinMaxClose;
inline constexpr Qt::WindowFlags kDefaultMainWindowFlags = kWndTitleSysMinMaxClose;

// What the save on close needs from the builder: while filterKeys is on only the kept
// names are saved, otherwise every entry of the value map.
struct CloseSaveInfo
{
    bool filterKeys = true;
    QSet<QString> keptNames;
};

// What the form builder returns.
struct FormResult
{
    // The exec() result, the main window's exit code, or 1 when the form was only built.
    int exitCode = 1;
    // The root layout when the form was only built, else null.
    QPointer<QObject> rootLayout;
    // The builder's own value map when the caller passed none, else null.
    QSharedPointer<QMap<QString, QVariant>> ownedVars;
    // The run window, released with deleteLater; only with kDeleteLater.
    QSharedPointer<QWidget> window;
};

} // namespace kivra
