#pragma once

#include <kivra/FieldFlags.h>
#include <kivra/Records.h>

#include <QApplication>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <initializer_list>

// Records and windows for tests that build whole forms with buildForm.

using Fields = QList<kivra::INFO>;

inline kivra::FieldFlags bits(std::initializer_list<int> positions)
{
    kivra::FieldFlags flags;
    for (const int position : positions)
        flags.setBit(position);
    return flags;
}

inline kivra::INFO field(quint32 type, const QVariant &options = QString(),
                         const kivra::InfoValue &value = QVariant(), const QString &name = {},
                         const kivra::FieldFlags &flags = {})
{
    return kivra::INFO(type, flags, options, value, name);
}

inline kivra::INFO layout(quint32 type, const kivra::FieldFlags &flags = {})
{
    return kivra::INFO(type, flags);
}

inline kivra::INFO endLayout()
{
    return kivra::INFO(kivra::kEndLayout);
}

inline kivra::INFO dialogRecord(const QVariant &options = QStringLiteral("Form"),
                                const kivra::CallbackVariant &callback = {})
{
    return kivra::INFO(kivra::kDialogWindow, {}, options, QVariant(), QString(), callback);
}

// Ends every running event loop when a test would otherwise wait for ever.
struct Watchdog
{
    bool fired = false;
    QTimer timer;

    explicit Watchdog(int ms = 5000)
    {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            fired = true;
            QCoreApplication::exit(1);
        });
        timer.start(ms);
    }
};

// The top-level window the builder made for a form of that title.
template<class Window>
Window *builtWindow(const QString &title)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(widget); window && window->windowTitle() == title)
            return window;
    return nullptr;
}
