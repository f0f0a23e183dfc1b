#pragma once

#include <kivra/Handlers.h>
#include <kivra/Placement.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>
#include <kivra/Sizing.h>

#include <QAction>
#include <QDialog>
#include <QLayout>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>

namespace kivra {

// An open tab widget while its pages are being built: a page collects its fields in a layout of
// its own, outside every other layout, and joins the tab widget when the next page starts or
// the pages end.
struct TabContext
{
    struct Page
    {
        QPointer<QWidget> placeholder;
        QPointer<QLayout> layout;
        QString caption;
        // Until the page has joined the tab widget.
        bool open = true;
    };

    QPointer<QTabWidget> tabWidget;
    // Pages whose fields are still being built, in order.
    QList<Page> pages;
    // Every page so far, also those handed over as widgets of their own.
    int pageCount = 0;
};

// A tab widget, the tab it shows once the form is built, and what its handler is connected
// with then.
struct TabStartIndex
{
    QPointer<QTabWidget> tabWidget;
    int index = -1;
    HandlerContext handler;
};

// The working state of one buildForm call, shared by the passes over the fields, the widget
// creation and the signal wiring.
struct FormBuild
{
    // Where timers and other helpers of the form hang: the window, or the root layout of a
    // form built without one.
    QObject *helperParent() const
    {
        return window ? static_cast<QObject *>(window.data()) : rootLayout.data();
    }
    bool hasOpenTab() const { return !tabs.isEmpty() && tabs.last().tabWidget; }

    FormFlags formFlags = 0;
    INFO windowRecord;
    QVariantMap windowOptions;

    QMap<QString, QVariant> *vars = nullptr;
    // The map when the builder owns it; every connection, filter and timer holds a copy so
    // that the map outlives whatever can still use it. Empty when the caller owns the map.
    QSharedPointer<QMap<QString, QVariant>> ownedVars;
    CloseSaveInfo closeSave;

    QPointer<QWidget> window;
    QPointer<QDialog> dialog;
    QPointer<QMainWindow> mainWindow;
    // Only a window the builder made may be deleted by it.
    bool windowCreated = false;

    QPointer<QVBoxLayout> rootLayout;
    LayoutStack layouts;
    // The column span asked for the next placement (0 reads as 1).
    int span = 0;
    // Running registration position, stored in every widget's "kivra_pos".
    int position = 0;
    int defaultAlign = 0;
    TypeAlignments typeAlignments;

    // The widget lists of every field built so far, in field order.
    QList<WIDGET_INFO> fieldWidgets;
    // Inner layouts of captioned group boxes: closing one closes the box's outer layout too.
    QList<QPointer<QLayout>> groupInnerLayouts;
    // Inner layouts of checkable group boxes that start unchecked and collapse.
    QList<QPointer<QLayout>> collapsedGroups;
    // Open tab widgets, innermost last.
    QList<TabContext> tabs;
    QList<TabStartIndex> tabStartIndexes;
    // Actions that a 20012 field wired itself.
    QList<QPointer<QAction>> wiredActions;
    // Value widgets that report their initial value once the form is built.
    QList<ReconnectEntry> initialNotifications;
    // A cancel button lets the window's filter handle Escape.
    bool hasCancelButton = false;

    QPointer<QTimer> windowTimer;
    QPointer<QTimer> notificationTimer;
};

} // namespace kivra
