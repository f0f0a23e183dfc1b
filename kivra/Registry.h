#pragma once

#include <kivra/FieldFlags.h>
#include <kivra/Records.h>

#include <QLatin1String>
#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTextEdit;
class QToolButton;

// The widgets of a form are found by field name: every widget carries the framework's
// metadata as dynamic properties, and the value map holds, under a reserved key per name,
// the list of widgets registered for that name.
namespace kivra {

// Names of the dynamic properties that carry the framework's metadata on every widget.
namespace WidgetProperty {
// int: the widget's own kind (a base code: 20000 for every line edit, 20002 for every button).
inline constexpr char type[] = "kivra_type";
// int: the record's type code (the sub-kind).
inline constexpr char typeExt[] = "kivra_type_ext";
// int: running position of the registration within the form; absent = -1.
inline constexpr char pos[] = "kivra_pos";
// QString: the field name.
inline constexpr char paramName[] = "kivra_paramName";
// QBitArray of 256 bits: the field's flags.
inline constexpr char flags[] = "kivra_flags";
// QVariantMap: the field's options.
inline constexpr char options[] = "kivra_options";
// bool: callbacks for this widget are suppressed.
inline constexpr char blockEvent[] = "kivra_blockevent";
} // namespace WidgetProperty

// Value-map keys the framework keeps for itself. They are never applied to widgets and
// never saved.
inline constexpr QLatin1String kAutoVarPrefix {"::kivra_auto_var:"};
inline constexpr QLatin1String kWidgetDataPrefix {"::kivra_widget_data:"};
inline constexpr QLatin1String kObjectDataPrefix {"::kivra_object_data:"};

QString autoVarKey(const QString &name);
// Holds the WIDGET_INFO of the widgets registered under name.
QString widgetDataKey(const QString &name);
// Objects the framework makes for a window ("menus", "statusbar").
QString objectDataKey(const QString &name);

// The next automatic variable name ("::kivra_auto_var:1", ...); one count per process.
QString nextAutoVarKey();

bool isReservedKey(const QString &key);
// Removes every reserved key; nothing happens for a null map.
void stripReservedKeys(QVariantMap *vars);

// The registered list; empty for a null map or an unknown name.
WIDGET_INFO widgetsByName(const QMap<QString, QVariant> *vars, const QString &name);
// Entry index of that list; null when the index is outside it.
QPointer<QWidget> widgetByName(const QMap<QString, QVariant> *vars, const QString &name, int index);
QPointer<QWidget> widgetAt(const WIDGET_INFO &list, int index);

// How findWidget reads its id. A base code (20000..49999) or sub-kind (50000..59999) filters
// the list; any other id is an index for kByIndex.
enum LookupMode {
    kByIndex = 0, // the entry at index id (with a code as id: as kFirstOfKind)
    kFirstMatch = 1,
    kLastMatch = 2,
    kFirstOfKind = 3,
};

// The lookup behind findWidget, for the class given by its meta-object.
QWidget *findRegisteredWidget(const QMap<QString, QVariant> *vars, const QString &name, int id,
                              int mode, const QMetaObject &type, QPointer<QWidget> *out);

// The typed lookup: the widget registered under name that is a T and passes the id's filter.
// out, when given, receives the entry taken; on a miss in list modes it is left unchanged.
template<class T>
T *findWidget(const QMap<QString, QVariant> *vars, const QString &name, int id,
              int mode = kFirstOfKind, QPointer<QWidget> *out = nullptr)
{
    return static_cast<T *>(findRegisteredWidget(vars, name, id, mode, T::staticMetaObject, out));
}

// Casts of a guarded widget; null when the widget is gone or of another class.
QCheckBox *toCheckBox(const QPointer<QWidget> &widget);
QLabel *toLabel(const QPointer<QWidget> &widget);
QLineEdit *toLineEdit(const QPointer<QWidget> &widget);
QMenuBar *toMenuBar(const QPointer<QWidget> &widget);
QPushButton *toPushButton(const QPointer<QWidget> &widget);
QTextEdit *toTextEdit(const QPointer<QWidget> &widget);
QToolButton *toToolButton(const QPointer<QWidget> &widget);

// The widget's field flags; empty when the widget is null or its flag property is missing
// or not exactly 256 bits long.
FieldFlags widgetFlags(const QWidget *widget);
// False for a null widget; else whether the widget's flags share a set bit with mask.
bool widgetHasFlags(const QWidget *widget, const FieldFlags &mask);

// The widget's own kind and the record's type code; 0 when null or absent.
int widgetKind(const QWidget *widget);
int widgetSubKind(const QWidget *widget);
void setWidgetKind(QWidget *widget, int kind);

// Whether the widget passes a lookup filter: a base code (20000..49999) is compared with its
// kind, a sub-kind code (50000..59999) with its sub-kind; any other code passes every widget.
bool widgetMatchesCode(const QWidget *widget, int code);

// The running position of the widget's registration, the sort key of widget lists; -1 when
// the widget is null or has no valid position.
int widgetPos(const QWidget *widget);

// A value widget whose change signal is emitted once more after the build, so that the
// callbacks see its initial value (kEmitInitialChange, kEmitInitialChangeIfSet).
struct ReconnectEntry
{
    // kImmediateUpdate: the per-value signal of spin boxes and date edits.
    bool immediate = false;
    // kEmitInitialChangeIfSet: skipped while the widget is empty.
    bool onlyIfSet = false;
    QPointer<QWidget> widget;
};

// Marks the widget with the field's metadata (kind, sub-kind, running position, field name,
// flags, options) and appends it to the field's widget list; with a reconnect list, a field
// with kEmitInitialChange or kEmitInitialChangeIfSet also puts it there. A null widget is
// ignored.
void registerWidget(WIDGET_INFO &widgets, QWidget *widget, int baseCode, int subKind, int position,
                    const QString &name, const FieldFlags &flags, const QVariant &options,
                    QList<ReconnectEntry> *reconnect);

// The live widgets registered in the form's value map, ordered by their running position:
// those of one kind (a base code 20000..49999) or sub-kind (50000..59999), or all of them
// for any other code.
QList<QPointer<QWidget>> collectWidgets(const QMap<QString, QVariant> *vars, int code);

// Object name of the fixed button of a sub-kind (OK, cancel, close, help): a stem and
// one suffix shared by all four; empty for any other code. Unnamed fixed buttons are
// registered in the value map under this name.
QString fixedButtonName(int subKind);

} // namespace kivra
