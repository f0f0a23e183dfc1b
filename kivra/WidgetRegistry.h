#pragma once

#include "MetaTypes.h"

#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace kivra {

// The widgets a form made for a field are found by the field's name: the value map holds,
// under widgetDataKey(name), the list of widgets registered for that name.

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

} // namespace kivra
