#pragma once

#include <kivra/FieldFlags.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>
#include <kivra/ValueExchange.h>

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

// A value map with widgets registered the way the form builder registers them, for tests
// that work on the value layer without building a form.
struct FormFixture
{
    QWidget window;
    QVariantMap vars;
    int position = 0;

    template<class W>
    W *add(const QString &name, int kind, int subKind, const kivra::FieldFlags &flags = {})
    {
        return adopt(new W(&window), name, kind, subKind, flags);
    }

    // Registers a widget made by the test, as the builder does; it becomes a child of the
    // window.
    template<class W>
    W *adopt(W *widget, const QString &name, int kind, int subKind,
             const kivra::FieldFlags &flags = {})
    {
        widget->setParent(&window);
        const QString key = kivra::widgetDataKey(name);
        auto list = vars.value(key).value<kivra::WIDGET_INFO>();
        kivra::registerWidget(list, widget, kind, subKind, position++, name, flags, QVariant(),
                              nullptr);
        vars.insert(key, QVariant::fromValue(list));
        return widget;
    }

    // Connects a widget's change signal to the change handler, as the form builder does.
    template<class Object, class Signal>
    void wire(Object *widget, Signal signal, const kivra::INFO &field,
              const kivra::INFO &windowRecord)
    {
        QObject::connect(widget, signal, [this, widget, field, windowRecord] {
            kivra::onWidgetValueChanged(field, windowRecord, &window, widget, {}, &vars,
                                        QStringLiteral("fallback"));
        });
    }
};

// List data whose items carry data as user data, the selected flags and texts (by default
// the data's text forms).
inline kivra::T_LISTDATA listData(const QVariantList &data, const QList<bool> &selected = {},
                                  const QStringList &texts = {})
{
    kivra::T_LISTDATA list;
    for (qsizetype i = 0; i < data.size(); ++i)
        list.push_back({texts.value(i, data.at(i).toString()), selected.value(i), data.at(i), {}});
    return list;
}

inline QList<bool> selectedFlags(const kivra::T_LISTDATA &list)
{
    QList<bool> result;
    for (const auto &item : list)
        result << std::get<1>(item);
    return result;
}

// Callbacks that record what reaches the application: "who type", the field record's name
// and the values seen.
struct CallRecorder
{
    QStringList calls;
    QStringList fields;
    QVariantList newValues;
    QVariantList oldValues;

    // Answers before-moments with answer, after replacing the new value when one is given.
    kivra::CallbackVariant callback(const QString &who, int answer = 1,
                                    const QVariant &replacement = {})
    {
        return kivra::ContextCallback([=](const kivra::CallbackContext &c) {
            calls << who + ' ' + kivra::callbackTypeName(c.type);
            fields << c.field.name;
            newValues << (c.newValue ? *c.newValue : QVariant());
            oldValues << (c.oldValue ? *c.oldValue : QVariant());
            if (replacement.isValid() && c.newValue)
                *c.newValue = replacement;
            return answer;
        });
    }
};

// QSettings answers from a process-wide cache of what it wrote; a copy under a new name makes
// it parse the bytes on disk, as the next start of the program does.
inline QString freshCopy(const QString &file)
{
    static int copies = 0;
    const QString copy = QStringLiteral("%1.copy%2.ini").arg(file).arg(++copies);
    QFile::copy(file, copy);
    return copy;
}

// The value under key as the next start of the program reads it from the INI file.
inline QVariant storedIniValue(const QString &file, const QString &key)
{
    return QSettings(freshCopy(file), QSettings::IniFormat).value(key);
}
