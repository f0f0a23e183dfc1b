#include "FormBuilder.h"

#include <kivra/Callbacks.h>
#include <kivra/FieldFlags.h>
#include <kivra/IniStore.h>
#include <kivra/Menus.h>
#include <kivra/Options.h>
#include <kivra/Placement.h>
#include <kivra/Registry.h>
#include <kivra/Sizing.h>
#include <kivra/helper/Dialog.h>
#include <kivra/helper/MainWnd.h>
#include <kivra/helper/UserEventFilter.h>

#include "FormBuild_p.h"
#include "KivraLog_p.h"
#include "MapValue_p.h"
#include "ObjectValue_p.h"
#include "SignalWiring_p.h"
#include "StartValue_p.h"
#include "TypeCodes_p.h"
#include "WidgetCreation_p.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMenu>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>

#include <vector>

namespace kivra {

namespace {

// Where a form built only, without a map of the caller's, keeps its map alive: on its root
// layout, for as long as whoever holds the layout.
constexpr char kLayoutMapProperty[] = "__layout_temp_map";

constexpr Qt::WindowFlags kFallbackDialogFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
constexpr Qt::WindowFlags kFallbackWindowFlags =
    Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;

void keepCheckableMenuIds(const std::vector<MenuEntry> &entries, QSet<QString> &kept)
{
    for (const MenuEntry &entry : entries) {
        const auto *pointer = std::get_if<QPointer<QAction>>(&entry);
        const QAction *action = pointer ? pointer->data() : nullptr;
        if (!action || !action->isCheckable())
            continue;
        const QString id = action->property(OptionKey::menuid.latin1()).toString();
        if (!id.isEmpty())
            kept.insert(id);
    }
}

// The names the options file keeps: named fields kept by their flags or the form's, and the
// ids of checkable menu entries. Named variables (60000) give their defaults.
QSet<QString> collectKeptNames(const FormBuild &build, const QList<INFO> &fields,
                               QMap<QString, QVariant> &namedVariables)
{
    QSet<QString> kept;
    for (const INFO &field : fields) {
        if (field.name.isEmpty() || hasFlags(field.flags, kSkipInFirstPass))
            continue;
        if (!hasFlags(field.flags, kKeepInFirstPass) && !(build.formFlags & kKeepAllNamed))
            continue;
        kept.insert(field.name);
        if (field.type == kNamedVariable)
            namedVariables.insert(field.name, field.value);
    }
    for (const INFO &field : fields) {
        std::vector<MenuEntry> entries;
        if (field.type == kCallerMenu) {
            walkMenuTree(objectFromValue<QMenu>(field.value), 0, &entries);
        } else if (field.type == kCallerAction) {
            if (auto *action = objectFromValue<QAction>(field.value))
                entries.emplace_back(QPointer<QAction>(action));
        }
        keepCheckableMenuIds(entries, kept);
    }
    return kept;
}

void setUpWindow(FormBuild &build, QWidget *parent, Qt::WindowFlags windowFlags)
{
    if (build.formFlags & kNewWindow) {
        const bool mainWindow = build.windowRecord.type == kMainWindow;
        helper::MainWidgetBase *base = nullptr;
        if (mainWindow) {
            auto *window = new helper::MainWnd(parent, windowFlags);
            base = window;
            build.window = window;
        } else {
            auto *window = new helper::Dialog(parent, windowFlags);
            base = window;
            build.window = window;
        }
        base->init(build.formFlags, build.windowRecord, build.vars, build.window);
        build.window->setProperty(WidgetProperty::type,
                                  int(mainWindow ? kMainWindow : kDialogWindow));
        build.windowCreated = true;
    } else {
        build.window = parent;
        if (parent && (build.formFlags & kApplyWindowFlags)) {
            Qt::WindowFlags flags = windowFlags;
            if (!flags && qobject_cast<QDialog *>(parent))
                flags = kFallbackDialogFlags;
            else if (!flags && qobject_cast<QMainWindow *>(parent))
                flags = kFallbackWindowFlags;
            parent->setWindowFlags(flags);
        }
    }
    build.dialog = qobject_cast<QDialog *>(build.window);
    build.mainWindow = qobject_cast<QMainWindow *>(build.window);
}

void buildFields(FormBuild &build, const QList<INFO> &fields)
{
    for (const INFO &record : fields) {
        if (build.layouts.isEmpty())
            break;
        if (typeCodeHas(record.type, TypeCode::kSkipped) ||
            isDroppedByTabContext(build, record.type))
            continue;
        INFO field = record;
        const QVariant start = takeStartValue(build, field);
        buildField(build, field, start);
    }
}

void finishFields(FormBuild &build)
{
    for (const QPointer<QLayout> &inner : std::as_const(build.collapsedGroups))
        setLayoutWidgetsVisible(inner, false);
    if (build.formFlags & kFixedSize)
        build.rootLayout->setSizeConstraint(QLayout::SetFixedSize);
    // Adding the pages moved the current tab and the start page moves it again; neither is a
    // change of the user's. The map takes the page shown, and the handler listens from now on.
    for (const TabStartIndex &start : std::as_const(build.tabStartIndexes)) {
        if (!start.tabWidget)
            continue;
        if (start.index >= 0 && start.index < start.tabWidget->count()) {
            const QSignalBlocker blocker(start.tabWidget);
            start.tabWidget->setCurrentIndex(start.index);
        }
        storeMapValue(build.vars, start.handler.name, start.tabWidget->currentIndex(),
                      MissingEntry::Create);
        connectTabWidget(start.handler, start.tabWidget);
    }
    wireMenuActions(build);
    createTimers(build);
}

void installEventFilter(const FormBuild &build)
{
    if (!build.window)
        return;
    auto *filter = new INFO::UserEventFilter(build.window);
    const bool ignoreEscape = !build.hasCancelButton || (build.formFlags & kNoEscapeHandling);
    filter->setup(build.vars, build.closeSave, build.windowRecord, build.window, ignoreEscape,
                  build.formFlags);
    filter->setKeepAlive(build.ownedVars);
    build.window->installEventFilter(filter);
}

// Adds to a layout the window already has, or makes it the window's layout.
void addToWindowLayout(QWidget *window, QLayout *layout)
{
    if (QLayout *existing = window->layout()) {
        const auto *grid = qobject_cast<QGridLayout *>(existing);
        addLayoutTo(existing, layout, grid ? grid->rowCount() : 0, 0, 1, 1, {}, 0);
    } else {
        window->setLayout(layout);
    }
}

void installRootLayout(const FormBuild &build)
{
    QWidget *window = build.window;
    QLayout *root = build.rootLayout;
    if (build.formFlags & kScrollArea) {
        auto *content = new QWidget;
        content->setLayout(root);
        auto *scrollArea = new QScrollArea;
        scrollArea->setWidgetResizable(true);
        scrollArea->setWidget(content);
        if (build.mainWindow) {
            build.mainWindow->setCentralWidget(scrollArea);
        } else {
            auto *frame = new QVBoxLayout;
            frame->addWidget(scrollArea);
            addToWindowLayout(window, frame);
        }
    } else if (build.mainWindow) {
        auto *central = new QWidget;
        central->setLayout(root);
        build.mainWindow->setCentralWidget(central);
    } else {
        addToWindowLayout(window, root);
    }
}

// The window may only be deleted while it still exists; a window deleted by its parent first
// leaves nothing to delete.
QSharedPointer<QWidget> deletingLater(QWidget *window)
{
    return QSharedPointer<QWidget>(window, [guard = QPointer<QWidget>(window)](QWidget *) {
        if (guard)
            guard->deleteLater();
    });
}

// Changing the modality of a visible window only takes effect once it is shown again.
void makeApplicationModal(QWidget *window)
{
    if (window->windowModality() == Qt::ApplicationModal)
        return;
    const bool visible = window->isVisible();
    if (visible)
        window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    if (visible)
        window->show();
}

// Ends a local event loop when the window is hidden by its close, so that a window that is
// not deleted on close does not keep the loop waiting for its destruction.
class CloseWatcher : public QObject
{
public:
    explicit CloseWatcher(QEventLoop *loop)
        : m_loop(loop)
    { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A minimised window is hidden by the window system (spontaneously); a closed one by
        // its close.
        if (event->type() == QEvent::Hide && !event->spontaneous())
            m_loop->quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop *m_loop;
};

void runLocalLoop(QWidget *window)
{
    QEventLoop loop;
    const QPointer<QWidget> guard(window);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    CloseWatcher watcher(&loop);
    if (!window->testAttribute(Qt::WA_DeleteOnClose))
        window->installEventFilter(&watcher);
    if (guard && guard->isVisible())
        loop.exec();
    if (guard)
        guard->removeEventFilter(&watcher);
}

int runMainWindow(const FormBuild &build)
{
    QWidget *window = build.window;
    // The kInit callback may have closed the window already.
    if (!window)
        return mainWindowExitCode;
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    // A second QApplication::exec() inside a running loop would return at once; a local loop
    // waits for this window instead.
    const bool loopRunning = QThread::currentThread()->loopLevel() > 0;
    if (QCoreApplication::instance() && !(build.formFlags & kLocalEventLoop) && !loopRunning)
        QApplication::exec();
    else
        runLocalLoop(window);
    return mainWindowExitCode;
}

int runDialog(const FormBuild &build, FormFlags runFlags)
{
    if (runFlags & kExec)
        return build.dialog->exec();
    if (runFlags & kOpen)
        build.dialog->open();
    else
        build.dialog->show();
    if (build.formFlags & kApplicationModal)
        makeApplicationModal(build.dialog);
    return 1;
}

// kExec wins over kOpen, which wins over kShow.
FormFlags runFlagsOf(FormFlags formFlags)
{
    if (formFlags & kExec)
        return kExec;
    if (formFlags & kOpen)
        return kOpen;
    return formFlags & kShow;
}

} // namespace

FormResult buildForm(QWidget *parent, FormFlags formFlags, Qt::WindowFlags windowFlags,
                     const INFO &window, const QList<INFO> &fields, QMap<QString, QVariant> *vars,
                     QSet<QString> *keptNames)
{
    registerMetaTypes();

    FormBuild build;
    build.formFlags = formFlags;
    build.windowRecord = window;
    build.windowOptions = window.options.toMap();
    if (vars) {
        stripReservedKeys(vars);
        build.vars = vars;
    } else {
        build.ownedVars = QSharedPointer<QMap<QString, QVariant>>::create();
        build.vars = build.ownedVars.data();
    }
    build.defaultAlign = build.windowOptions.value(OptionKey::defaultalign).toInt();
    build.typeAlignments = defaultTypeAlign(build.windowOptions);
    build.closeSave.filterKeys = !(formFlags & kSaveAllOnClose);

    QMap<QString, QVariant> namedVariables;
    build.closeSave.keptNames = collectKeptNames(build, fields, namedVariables);
    if (keptNames)
        *keptNames = build.closeSave.keptNames;

    setUpWindow(build, parent, windowFlags);
    initFormFromOptions(build.window, window, build.vars,
                        (formFlags & (kApplyWindowFlags | kNewWindow)) != 0);
    // Values restored from the options file win over the defaults of named variables.
    for (auto it = namedVariables.cbegin(); it != namedVariables.cend(); ++it)
        if (!build.vars->contains(it.key()))
            build.vars->insert(it.key(), it.value());

    build.rootLayout = new QVBoxLayout;
    build.layouts.append({build.rootLayout.data(), 0, 0});
    buildFields(build, fields);
    finishFields(build);
    installEventFilter(build);

    FormFlags runFlags = runFlagsOf(formFlags);
    if (runFlags && !build.window) {
        qCWarning(lcKivra) << "buildForm: a form without a window can only be built";
        runFlags = 0;
    }
    if ((formFlags & kNewWindow) || ((formFlags & kInstallLayout) && build.window))
        installRootLayout(build);

    FormResult result;
    result.ownedVars = build.ownedVars;
    if (build.window) {
        if (formFlags & kStaysOnTop)
            build.window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        // Only a window the builder made is the builder's to delete.
        if (runFlags && build.windowCreated) {
            if (formFlags & kDeleteLater)
                result.window = deletingLater(build.window);
            else
                build.window->setAttribute(Qt::WA_DeleteOnClose);
        }
        if (formFlags & (kMaximized | kCentered | kActivate))
            QTimer::singleShot(0, build.window, [window = build.window, formFlags] {
                showWindowDeferred(window, formFlags);
            });
    }

    if (hasCallback(window.callback))
        invokeCallback(window.callback, build.window, build.window, QVariant(), kInit, window,
                       build.vars, nullptr, nullptr);

    if (!runFlags) {
        result.exitCode = 1;
        result.rootLayout = build.rootLayout.data();
        if (build.ownedVars)
            build.rootLayout->setProperty(
                kLayoutMapProperty, QVariant::fromValue(T_VARMAP_SHARED_PTR(build.ownedVars)));
        startTimers(build);
        return result;
    }

    startTimers(build);
    result.exitCode = build.dialog ? runDialog(build, runFlags) : runMainWindow(build);
    return result;
}

} // namespace kivra
