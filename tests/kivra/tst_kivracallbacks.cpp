#include "BlockEventGuard.h"
#include "Callbacks.h"
#include "CloseWindow.h"
#include "FormFixture.h"

#include <QLineEdit>
#include <QTest>

#include <stdexcept>

using namespace kivra;

class TestKivraCallbacks : public QObject
{
    Q_OBJECT

private slots:
    void emptyOrThrowingCallableCountsAsNone();
    void askOrder_data();
    void askOrder();
    void askSharesReplacement();
    void blockedWidgetSkipsCallbacks();
    void closeSequence_data();
    void closeSequence();
};

void TestKivraCallbacks::emptyOrThrowingCallableCountsAsNone()
{
    const INFO field;
    const CallbackVariant emptyLegacy = LegacyCallback();
    QVERIFY(!hasCallback(emptyLegacy));
    QVERIFY(!hasCallback(ContextCallback()));
    QCOMPARE(invokeCallback(emptyLegacy, nullptr, nullptr, {}, kAccept, field, nullptr, nullptr,
                            nullptr),
             1);

    const CallbackVariant throwing =
        ContextCallback([](const CallbackContext &) -> int { throw std::runtime_error("boom"); });
    QTest::ignoreMessage(QtWarningMsg, "Callback kAccept of field \"\" threw: boom");
    QCOMPARE(
        invokeCallback(throwing, nullptr, nullptr, {}, kAccept, field, nullptr, nullptr, nullptr),
        1);

    // An empty callable must not stop the window's callback from being asked.
    CallRecorder recorder;
    INFO fieldWithEmpty;
    fieldWithEmpty.callback = emptyLegacy;
    const INFO window(30000, {}, QString(), QVariant(), QString(), recorder.callback("window", 0));
    QVERIFY(!askCallbacks(fieldWithEmpty, window, nullptr, nullptr, {}, kBeforeDataChanged, nullptr,
                          nullptr, nullptr));
    QCOMPARE(recorder.calls, QStringList({"window kBeforeDataChanged"}));
}

void TestKivraCallbacks::askOrder_data()
{
    QTest::addColumn<int>("fieldAnswer"); // -1: no callback
    QTest::addColumn<int>("windowAnswer");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("asked");

    const QString field = "field kKillActive";
    const QString window = "window kKillActive";
    QTest::newRow("field refuses, window not asked") << 0 << 1 << false << QStringList {field};
    QTest::newRow("field allows, window refuses") << 1 << 0 << false << QStringList {field, window};
    QTest::newRow("both allow") << 2 << 3 << true << QStringList {field, window};
    QTest::newRow("no field callback, window refuses") << -1 << 0 << false << QStringList {window};
    QTest::newRow("neither has a callback") << -1 << -1 << true << QStringList {};
}

void TestKivraCallbacks::askOrder()
{
    QFETCH(int, fieldAnswer);
    QFETCH(int, windowAnswer);
    QFETCH(bool, allowed);
    QFETCH(QStringList, asked);

    CallRecorder recorder;
    INFO field(20015, {}, QString(), QVariant(), QStringLiteral("tabs"));
    INFO window(30000);
    if (fieldAnswer >= 0)
        field.callback = recorder.callback("field", fieldAnswer);
    if (windowAnswer >= 0)
        window.callback = recorder.callback("window", windowAnswer);

    QLineEdit edit;
    QVariant newValue = 1;
    const QVariant oldValue = 0;
    QCOMPARE(
        askCallbacks(field, window, nullptr, &edit, {}, kKillActive, nullptr, &newValue, &oldValue),
        allowed);
    QCOMPARE(recorder.calls, asked);

    recorder.calls.clear();
    fireCallbacks(field, window, nullptr, &edit, {}, kSetActive, nullptr, &newValue, &oldValue);
    QCOMPARE(recorder.calls.size(), int(fieldAnswer >= 0) + int(windowAnswer >= 0));
}

void TestKivraCallbacks::askSharesReplacement()
{
    CallRecorder recorder;
    // The window's callback tells fields apart by the record it receives: the field's.
    QString fieldSeenByWindow;
    QVariant valueSeenByWindow;
    const INFO field(20000, {}, QString(), QVariant(), QStringLiteral("f"),
                     recorder.callback("field", 1, QStringLiteral("rewritten")));
    const INFO window(30000, {}, QString(), QVariant(), QString(),
                      ContextCallback([&](const CallbackContext &c) {
                          fieldSeenByWindow = c.field.name;
                          valueSeenByWindow = *c.newValue;
                          return 1;
                      }));
    QVariant newValue = QStringLiteral("typed");
    QVERIFY(askCallbacks(field, window, nullptr, nullptr, {}, kBeforeDataChanged, nullptr,
                         &newValue, nullptr));
    QCOMPARE(valueSeenByWindow, QVariant(QStringLiteral("rewritten")));
    QCOMPARE(newValue, valueSeenByWindow);
    QCOMPARE(fieldSeenByWindow, QStringLiteral("f"));
}

void TestKivraCallbacks::blockedWidgetSkipsCallbacks()
{
    CallRecorder recorder;
    const INFO field(20000, {}, QString(), QVariant(), QString(), recorder.callback("field", 0));
    const INFO window(30000, {}, QString(), QVariant(), QString(), recorder.callback("window", 0));
    QLineEdit edit;
    {
        const BlockEventGuard guard(&edit);
        QVERIFY(askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr,
                             nullptr, nullptr));
        fireCallbacks(field, window, nullptr, &edit, {}, kAfterDataChanged, nullptr, nullptr,
                      nullptr);
        QVERIFY(recorder.calls.isEmpty());
    }
    QVERIFY(!askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr, nullptr,
                          nullptr));

    // The mark is not counted: the inner guard ends blocking for the outer one too.
    {
        const BlockEventGuard outer(&edit);
        {
            const BlockEventGuard inner(&edit);
        }
        QVERIFY(!isEventBlocked(&edit));
    }
    auto *doomed = new QLineEdit;
    const BlockEventGuard guard(doomed);
    delete doomed;
}

void TestKivraCallbacks::closeSequence_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("fieldAnswer");
    QTest::addColumn<int>("windowAnswer");
    QTest::addColumn<bool>("withVars");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("accept") << int(kAccept) << 1 << 1 << true << true
                            << QStringList {"field kAccept", "window kAccept", "window kCleanup"};
    QTest::newRow("button refuses")
        << int(kAccept) << 0 << 1 << true << false << QStringList {"field kAccept"};
    QTest::newRow("window refuses reject") << int(kReject) << 1 << 0 << true << false
                                           << QStringList {"field kReject", "window kReject"};
    QTest::newRow("no value map: no callbacks")
        << int(kClose) << 0 << 0 << false << true << QStringList {};
}

void TestKivraCallbacks::closeSequence()
{
    QFETCH(int, code);
    QFETCH(int, fieldAnswer);
    QFETCH(int, windowAnswer);
    QFETCH(bool, withVars);
    QFETCH(bool, closes);
    QFETCH(QStringList, calls);

    CallRecorder recorder;
    const INFO button(50000, {}, QString(), QVariant(), QStringLiteral("ok"),
                      recorder.callback("field", fieldAnswer));
    const INFO window(30000, {}, QString(), QVariant(), QString(),
                      recorder.callback("window", windowAnswer));
    QWidget windowWidget;
    QVariantMap vars;
    const CloseSaveInfo closeSave;
    QCOMPARE(closeWindow(&windowWidget, &windowWidget, CallbackType(code), window, button,
                         withVars ? &vars : nullptr, &closeSave),
             closes);
    QCOMPARE(recorder.calls, calls);
}

QTEST_MAIN(TestKivraCallbacks)
#include "tst_kivracallbacks.moc"
