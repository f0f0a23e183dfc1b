#include "BlockEventGuard.h"
#include "Callbacks.h"
#include "CloseWindow.h"

#include <QLineEdit>
#include <QTest>

#include <stdexcept>

using namespace kivra;

namespace {

// One observed callback: who answered, for which moment, and the new value it saw.
struct Call
{
    QString who;
    CallbackType type;
    QString field;
    QVariant newValue;
};

CallbackVariant recording(const QString &who, QList<Call> &calls, int answer,
                          const QVariant &replacement = {})
{
    return ContextCallback([who, &calls, answer, replacement](const CallbackContext &context) {
        calls.append({who, context.type, context.field.name,
                      context.newValue ? *context.newValue : QVariant()});
        if (replacement.isValid() && context.newValue)
            *context.newValue = replacement;
        return answer;
    });
}

} // namespace

class TestKivraCallbacks : public QObject
{
    Q_OBJECT

private slots:
    void invokePassesArguments();
    void emptyOrThrowingCallableCountsAsNone();
    void askOrder_data();
    void askOrder();
    void askSharesReplacement();
    void blockedWidgetSkipsCallbacks();
    void guardsAreNotCounted();
    void closeSequence_data();
    void closeSequence();
    void closeWithoutValueMapOnlySaves();
};

void TestKivraCallbacks::invokePassesArguments()
{
    QWidget windowWidget;
    QLineEdit edit(&windowWidget);
    const QPointer<QWidget> window(&windowWidget);
    const QPointer<QWidget> widget(&edit);
    QVariantMap vars {{"a", 1}};
    QVariant newValue = 2;
    const QVariant oldValue = 3;
    INFO field(20000, {}, QString(), QVariant(), QStringLiteral("a"));

    // What each form of callback received, compared after the call.
    struct Seen
    {
        QWidget *window = nullptr;
        QWidget *widget = nullptr;
        QVariant value;
        CallbackType type = kInit;
        QString field;
        QVariantMap *vars = nullptr;
        QVariant *newValue = nullptr;
        const QVariant *oldValue = nullptr;
    };
    Seen legacySeen;
    const LegacyCallback legacy = [&](const QPointer<QWidget> &w, const QPointer<QWidget> &s,
                                      const QVariant &value, CallbackType type, const INFO &f,
                                      QVariantMap *v, QVariant *n, const QVariant *o) {
        legacySeen = {w.data(), s.data(), value, type, f.name, v, n, o};
        return 5;
    };
    QCOMPARE(invokeCallback(legacy, window, widget, 7, kAfterDataChanged, field, &vars, &newValue,
                            &oldValue),
             5);
    Seen contextSeen;
    const ContextCallback context = [&](const CallbackContext &c) {
        contextSeen = {c.window.data(), c.widget.data(), c.value,    c.type,
                       c.field.name,    c.vars,          c.newValue, c.oldValue};
        return 0;
    };
    QCOMPARE(invokeCallback(context, window, widget, 7, kBeforeDataChanged, field, &vars, &newValue,
                            &oldValue),
             0);
    for (const Seen &seen : {legacySeen, contextSeen}) {
        QCOMPARE(seen.window, &windowWidget);
        QCOMPARE(seen.widget, &edit);
        QCOMPARE(seen.value, QVariant(7));
        QCOMPARE(seen.field, QStringLiteral("a"));
        QCOMPARE(seen.vars, &vars);
        QCOMPARE(seen.newValue, &newValue);
        QCOMPARE(seen.oldValue, &oldValue);
    }
    QCOMPARE(legacySeen.type, kAfterDataChanged);
    QCOMPARE(contextSeen.type, kBeforeDataChanged);
    QCOMPARE(invokeCallback({}, window, widget, 7, kBeforeDataChanged, field, &vars, &newValue,
                            &oldValue),
             1);
}

void TestKivraCallbacks::emptyOrThrowingCallableCountsAsNone()
{
    const INFO field;
    const QPointer<QWidget> none;
    const CallbackVariant emptyLegacy = LegacyCallback();
    const CallbackVariant emptyContext = ContextCallback();
    QVERIFY(!hasCallback(emptyLegacy));
    QVERIFY(!hasCallback(emptyContext));
    QCOMPARE(invokeCallback(emptyLegacy, none, none, {}, kAccept, field, nullptr, nullptr, nullptr),
             1);
    QCOMPARE(
        invokeCallback(emptyContext, none, none, {}, kAccept, field, nullptr, nullptr, nullptr), 1);

    const CallbackVariant throwing =
        ContextCallback([](const CallbackContext &) -> int { throw std::runtime_error("boom"); });
    QVERIFY(hasCallback(throwing));
    QTest::ignoreMessage(QtWarningMsg, "Callback kAccept of field \"\" threw: boom");
    QCOMPARE(invokeCallback(throwing, none, none, {}, kAccept, field, nullptr, nullptr, nullptr),
             1);

    // An empty callable must not stop the window's callback from being asked.
    QList<Call> calls;
    INFO fieldWithEmpty;
    fieldWithEmpty.callback = emptyLegacy;
    INFO window;
    window.callback = recording("window", calls, 0);
    QVERIFY(!askCallbacks(fieldWithEmpty, window, none, none, {}, kBeforeDataChanged, nullptr,
                          nullptr, nullptr));
    QCOMPARE(calls.size(), 1);
}

void TestKivraCallbacks::askOrder_data()
{
    QTest::addColumn<int>("fieldAnswer"); // -1: no callback
    QTest::addColumn<int>("windowAnswer");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("field refuses, window not asked") << 0 << 1 << false << QStringList {"field"};
    QTest::newRow("field allows, window refuses")
        << 1 << 0 << false << QStringList {"field", "window"};
    QTest::newRow("both allow") << 2 << 3 << true << QStringList {"field", "window"};
    QTest::newRow("no field callback, window refuses")
        << -1 << 0 << false << QStringList {"window"};
    QTest::newRow("neither has a callback") << -1 << -1 << true << QStringList {};
}

void TestKivraCallbacks::askOrder()
{
    QFETCH(int, fieldAnswer);
    QFETCH(int, windowAnswer);
    QFETCH(bool, allowed);
    QFETCH(QStringList, asked);

    QList<Call> calls;
    INFO field(20000, {}, QString(), QVariant(), QStringLiteral("f"));
    INFO window(30000);
    if (fieldAnswer >= 0)
        field.callback = recording("field", calls, fieldAnswer);
    if (windowAnswer >= 0)
        window.callback = recording("window", calls, windowAnswer);

    QLineEdit edit;
    QVariant newValue = 1;
    const QVariant oldValue = 0;
    QCOMPARE(askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr, &newValue,
                          &oldValue),
             allowed);
    QStringList who;
    for (const Call &call : calls) {
        who << call.who;
        // The window's callback sees the field's record, so it can tell fields apart.
        QCOMPARE(call.field, QStringLiteral("f"));
    }
    QCOMPARE(who, asked);

    calls.clear();
    fireCallbacks(field, window, nullptr, &edit, {}, kAfterDataChanged, nullptr, &newValue,
                  &oldValue);
    QCOMPARE(calls.size(), int(fieldAnswer >= 0) + int(windowAnswer >= 0));
}

void TestKivraCallbacks::askSharesReplacement()
{
    QList<Call> calls;
    INFO field(20000, {}, QString(), QVariant(), QStringLiteral("f"));
    field.callback = recording("field", calls, 1, QStringLiteral("rewritten"));
    INFO window(30000);
    window.callback = recording("window", calls, 1);

    QVariant newValue = QStringLiteral("typed");
    QVERIFY(askCallbacks(field, window, nullptr, nullptr, {}, kBeforeDataChanged, nullptr,
                         &newValue, nullptr));
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.at(0).newValue, QVariant(QStringLiteral("typed")));
    QCOMPARE(calls.at(1).newValue, QVariant(QStringLiteral("rewritten")));
    QCOMPARE(newValue, QVariant(QStringLiteral("rewritten")));
}

void TestKivraCallbacks::blockedWidgetSkipsCallbacks()
{
    QList<Call> calls;
    INFO field;
    field.callback = recording("field", calls, 0);
    INFO window;
    window.callback = recording("window", calls, 0);
    QLineEdit edit;
    {
        const BlockEventGuard guard(&edit);
        QVERIFY(askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr,
                             nullptr, nullptr));
        fireCallbacks(field, window, nullptr, &edit, {}, kAfterDataChanged, nullptr, nullptr,
                      nullptr);
        QVERIFY(calls.isEmpty());
    }
    QVERIFY(!isEventBlocked(&edit));
    QVERIFY(!askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr, nullptr,
                          nullptr));
}

void TestKivraCallbacks::guardsAreNotCounted()
{
    QLineEdit edit;
    {
        const BlockEventGuard outer(&edit);
        {
            const BlockEventGuard inner(&edit);
            QVERIFY(isEventBlocked(&edit));
        }
        QVERIFY(!isEventBlocked(&edit));
    }

    auto *doomed = new QLineEdit;
    {
        const BlockEventGuard guard(doomed);
        delete doomed;
    }
    QVERIFY(!isEventBlocked(nullptr));
}

void TestKivraCallbacks::closeSequence_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("fieldAnswer");
    QTest::addColumn<int>("windowAnswer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("accept") << int(kAccept) << 1 << 1 << true
                            << QStringList {"field kAccept", "window kAccept", "window kCleanup"};
    QTest::newRow("button refuses")
        << int(kAccept) << 0 << 1 << false << QStringList {"field kAccept"};
    QTest::newRow("window refuses reject")
        << int(kReject) << 1 << 0 << false << QStringList {"field kReject", "window kReject"};
    QTest::newRow("plain close") << int(kClose) << 1 << 1 << true
                                 << QStringList {"field kClose", "window kClose",
                                                 "window kCleanup"};
}

void TestKivraCallbacks::closeSequence()
{
    QFETCH(int, code);
    QFETCH(int, fieldAnswer);
    QFETCH(int, windowAnswer);
    QFETCH(bool, closes);
    QFETCH(QStringList, calls);

    QList<Call> seen;
    INFO button(50000, {}, QString(), QVariant(), QStringLiteral("ok"));
    button.callback = recording("field", seen, fieldAnswer);
    INFO window(30000);
    window.callback = recording("window", seen, windowAnswer);
    QWidget windowWidget;
    QVariantMap vars;
    const CloseSaveInfo closeSave;

    QCOMPARE(closeWindow(&windowWidget, &windowWidget, CallbackType(code), window, button, &vars,
                         &closeSave),
             closes);
    QStringList who;
    for (const Call &call : seen)
        who << call.who + ' ' + callbackTypeName(call.type);
    QCOMPARE(who, calls);
}

void TestKivraCallbacks::closeWithoutValueMapOnlySaves()
{
    QList<Call> seen;
    INFO window(30000);
    window.callback = recording("window", seen, 0);
    QVERIFY(closeWindow(nullptr, nullptr, kReject, window, INFO(), nullptr, nullptr));
    QVERIFY(seen.isEmpty());
}

QTEST_MAIN(TestKivraCallbacks)
#include "tst_kivracallbacks.moc"
