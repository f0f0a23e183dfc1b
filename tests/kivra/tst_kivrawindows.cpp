#include "CloseWindow.h"
#include "FormFixture.h"
#include "MainWindowExitCode.h"
#include "MenuRegistry.h"
#include "WidgetType.h"
#include "helper/Dialog.h"
#include "helper/MainWnd.h"
#include "helper/UserEventFilter.h"

#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

using namespace kivra;

namespace {

// A shown framework window with its event filter set up as the form builder does it; the
// window callback records every close moment.
template<class Window>
struct FilteredWindow
{
    CallRecorder recorder;
    QVariantMap vars;
    Window window;
    INFO record;
    CloseSaveInfo closeSave;

    FilteredWindow(int answer, bool ignoreEscape, FormFlags flags)
        : record(kDialogWindow, {}, QString(), QVariant(), QString(),
                 recorder.callback("window", answer))
    {
        window.init(flags, record, &vars, &window);
        auto *filter = new INFO::UserEventFilter(&window);
        filter->setup(&vars, closeSave, record, &window, ignoreEscape, flags);
        window.installEventFilter(filter);
        window.show();
    }

    // What the OK and Cancel buttons do: run the close sequence, then end the dialog.
    void pressButton(CallbackType code)
    {
        const INFO button(code == kAccept ? kOkButton : kCancelButton);
        if (closeWindow(&window, &window, code, record, button, &vars, &closeSave))
            code == kAccept ? window.accept() : window.reject();
    }
};

enum class Action { Ok, Cancel, Escape, Close };

} // namespace

class TestKivraWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { mainWindowExitCode = -1; }
    void windowClassesCastToTheirBase();
    void dialogCloseSequence_data();
    void dialogCloseSequence();
    void mainWindowCloseSequence_data();
    void mainWindowCloseSequence();
    void statusTipsReachRegisteredStatusBars();
};

void TestKivraWindows::windowClassesCastToTheirBase()
{
    helper::Dialog dialog;
    helper::MainWnd mainWindow;
    QCOMPARE(dialog.qt_metacast("MainWidgetBase"), static_cast<helper::MainWidgetBase *>(&dialog));
    QCOMPARE(mainWindow.qt_metacast("MainWidgetBase"),
             static_cast<helper::MainWidgetBase *>(&mainWindow));
}

void TestKivraWindows::dialogCloseSequence_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("hasCancelButton");
    QTest::addColumn<int>("formFlags");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("exitCode");

    const QStringList accepted = {"window kAccept", "window kCleanup"};
    const QStringList rejected = {"window kReject", "window kCleanup"};
    const QStringList closed = {"window kClose", "window kCleanup"};
    const int accept = QDialog::Accepted;
    const int reject = QDialog::Rejected;
    // The buttons run the sequence themselves; QDialog::done() must not run it again.
    QTest::newRow("OK") << Action::Ok << true << 0 << 1 << accepted << false << accept << -1;
    QTest::newRow("Cancel") << Action::Cancel << true << 0 << 1 << rejected << false << reject
                            << -1;
    QTest::newRow("Escape with Cancel button")
        << Action::Escape << true << 0 << 1 << rejected << false << reject << -1;
    QTest::newRow("Escape without Cancel button")
        << Action::Escape << false << 0 << 1 << QStringList() << true << reject << -1;
    QTest::newRow("Escape refused") << Action::Escape << true << 0 << 0
                                    << QStringList {"window kReject"} << true << reject << -1;
    QTest::newRow("close under kCloseAccepts")
        << Action::Close << true << int(kCloseAccepts) << 1 << accepted << false << accept << 1;
    QTest::newRow("close") << Action::Close << true << 0 << 1 << closed << false << reject << 0;
    QTest::newRow("close refused")
        << Action::Close << true << 0 << 0 << QStringList {"window kClose"} << true << reject << -1;
}

void TestKivraWindows::dialogCloseSequence()
{
    QFETCH(Action, action);
    QFETCH(bool, hasCancelButton);
    QFETCH(int, formFlags);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QFETCH(bool, staysOpen);
    QFETCH(int, result);
    QFETCH(int, exitCode);

    FilteredWindow<helper::Dialog> form(answer, !hasCancelButton, FormFlags(formFlags));
    switch (action) {
    case Action::Ok:
        form.pressButton(kAccept);
        break;
    case Action::Cancel:
        form.pressButton(kReject);
        break;
    case Action::Escape:
        QTest::keyClick(&form.window, Qt::Key_Escape);
        break;
    case Action::Close:
        QCOMPARE(form.window.close(), !staysOpen);
        break;
    }
    QCOMPARE(form.recorder.calls, calls);
    QCOMPARE(form.window.isVisible(), staysOpen);
    QCOMPARE(form.window.result(), result);
    QCOMPARE(mainWindowExitCode, exitCode);
}

void TestKivraWindows::mainWindowCloseSequence_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("formFlags");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("close") << Action::Close << 0 << QStringList {"window kClose", "window kCleanup"}
                           << 0;
    QTest::newRow("close under kCloseAccepts")
        << Action::Close << int(kCloseAccepts) << QStringList {"window kAccept", "window kCleanup"}
        << 1;
    // Escape decides the close; the queued close() then passes without a second round.
    QTest::newRow("Escape") << Action::Escape << int(kCloseAccepts)
                            << QStringList {"window kReject", "window kCleanup"} << 0;
}

void TestKivraWindows::mainWindowCloseSequence()
{
    QFETCH(Action, action);
    QFETCH(int, formFlags);
    QFETCH(QStringList, calls);
    QFETCH(int, exitCode);

    FilteredWindow<helper::MainWnd> form(1, false, FormFlags(formFlags));
    if (action == Action::Escape) {
        QTest::keyClick(&form.window, Qt::Key_Escape);
        QVERIFY(form.window.isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(form.window.property("mainwindow_exitcode"), QVariant(0));
    } else {
        QVERIFY(form.window.close());
    }
    QVERIFY(!form.window.isVisible());
    QCOMPARE(form.recorder.calls, calls);
    QCOMPARE(mainWindowExitCode, exitCode);
}

void TestKivraWindows::statusTipsReachRegisteredStatusBars()
{
    FilteredWindow<helper::Dialog> form(1, false, 0);
    auto *withLabel = new QStatusBar(&form.window);
    auto *label = new QLabel(withLabel);
    withLabel->addWidget(label, 100);
    auto *plain = new QStatusBar(&form.window);
    auto *gone = new QStatusBar;
    for (QStatusBar *bar : {withLabel, plain, gone})
        registerStatusBar(bar, &form.vars);
    registerStatusBar(plain, &form.vars);
    QCOMPARE(statusBars(&form.vars).size(), 3);
    delete gone;

    QStatusTipEvent tip(QStringLiteral("Datei wählen"));
    QCoreApplication::sendEvent(&form.window, &tip);
    QCOMPARE(label->text(), QStringLiteral("Datei wählen"));
    QCOMPARE(plain->currentMessage(), QStringLiteral("Datei wählen"));

    // A main window shows its status tips itself.
    FilteredWindow<helper::MainWnd> main(1, false, 0);
    auto *mainLabel = new QLabel;
    main.window.statusBar()->addWidget(mainLabel);
    registerStatusBar(main.window.statusBar(), &main.vars);
    QStatusTipEvent mainTip(QStringLiteral("x"));
    QCoreApplication::sendEvent(&main.window, &mainTip);
    QVERIFY(mainLabel->text().isEmpty());
}

QTEST_MAIN(TestKivraWindows)
#include "tst_kivrawindows.moc"
