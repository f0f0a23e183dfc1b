#include "FormFixture.h"
#include "ListDataValues.h"
#include "ReemitChange.h"
#include "ValueBinding.h"
#include "VariantConversions.h"
#include "WidgetValue.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>

using namespace kivra;

class TestKivraValues : public QObject
{
    Q_OBJECT

private slots:
    void widgetValueRoundTrip_data();
    void widgetValueRoundTrip();
    void writeKeepsCallersSignalBlocking();
    void bindingsByValue();
    void bindingsByPointer();
    void changeHandlerVeto();
    void changeHandlerRewrite();
    void changeHandlerBoundVariable();
    void changeHandlerForcedReport();
    void reemitPicksTheWiredSignal();
    void listDataReaders();
    void integerConversions_data();
    void integerConversions();
};

void TestKivraValues::widgetValueRoundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QVariant>("read");

    const QDateTime dateTime(QDate(2024, 2, 29), QTime(13, 45));
    QTest::newRow("spin box") << "spin" << QVariant(7) << QVariant(7);
    QTest::newRow("double spin box") << "double" << QVariant(2.5) << QVariant(2.5);
    QTest::newRow("date edit reads a date")
        << "date" << QVariant(dateTime.date()) << QVariant(dateTime.date());
    QTest::newRow("date-time edit") << "datetime" << QVariant(dateTime) << QVariant(dateTime);
    QTest::newRow("text edit without rich text")
        << "text" << QVariant("<b>x</b>") << QVariant("<b>x</b>");
    QTest::newRow("line edit") << "line" << QVariant("Müller") << QVariant("Müller");
    QTest::newRow("check box") << "check" << QVariant(true) << QVariant(1);
    QTest::newRow("label holds no value") << "label" << QVariant("x") << QVariant("untouched");
}

void TestKivraValues::widgetValueRoundTrip()
{
    QFETCH(QString, kind);
    QFETCH(QVariant, written);
    QFETCH(QVariant, read);

    std::unique_ptr<QWidget> widget;
    if (kind == "spin")
        widget = std::make_unique<QSpinBox>();
    else if (kind == "double")
        widget = std::make_unique<QDoubleSpinBox>();
    else if (kind == "date")
        widget = std::make_unique<QDateEdit>();
    else if (kind == "datetime")
        widget = std::make_unique<QDateTimeEdit>();
    else if (kind == "text")
        widget = std::make_unique<QTextEdit>();
    else if (kind == "line")
        widget = std::make_unique<QLineEdit>();
    else if (kind == "check")
        widget = std::make_unique<QCheckBox>();
    else
        widget = std::make_unique<QLabel>();
    if (auto *edit = qobject_cast<QTextEdit *>(widget.get()))
        edit->setAcceptRichText(false);

    QVariant value = written;
    getSetWidgetValue(widget.get(), true, false, &value);
    QVariant result = QStringLiteral("untouched");
    getSetWidgetValue(widget.get(), false, false, &result);
    QCOMPARE(result, read);
    QCOMPARE(result.metaType(), read.metaType());
}

void TestKivraValues::writeKeepsCallersSignalBlocking()
{
    QSpinBox spin;
    QLineEdit *editor = spin.findChild<QLineEdit *>();
    QSignalSpy valueSpy(&spin, &QSpinBox::valueChanged);
    QSignalSpy textSpy(editor, &QLineEdit::textChanged);
    QVariant value = 5;
    getSetWidgetValue(&spin, true, true, &value);
    QCOMPARE(spin.value(), 5);
    QCOMPARE(valueSpy.count() + textSpy.count(), 0);
    QVERIFY(!spin.signalsBlocked() && !editor->signalsBlocked());

    // A caller that blocked the box itself must find it still blocked afterwards.
    spin.blockSignals(true);
    editor->blockSignals(true);
    getSetWidgetValue(&spin, true, true, &value);
    QVERIFY(spin.signalsBlocked() && editor->signalsBlocked());

    QCheckBox box;
    box.setTristate(true);
    box.setCheckState(Qt::PartiallyChecked);
    getSetWidgetValue(&box, false, false, &value);
    QCOMPARE(value, QVariant(0));
}

void TestKivraValues::bindingsByValue()
{
    QVariantMap vars {{"list", QVariant::fromValue(T_LISTDATA {{"a", false, 1, {}}})},
                      {"text", "old"}};
    {
        ListDataBinding binding(&vars, "list", true);
        std::get<1>((*binding.data())[0]) = true;
        ListDataBinding readOnly(&vars, "list");
        std::get<1>((*readOnly.data())[0]) = false;
        QVERIFY(!readOnly.store());
        VariantBinding text(&vars, "text", false);
        *text.data() = "new";
    }
    QCOMPARE(selectedValues(&vars, "list"), QVariantList({1}));
    QCOMPARE(vars.value("text"), QVariant("old"));

    // A variant that itself holds a variant is unwrapped once.
    const QVariant inner = 42;
    QCOMPARE(*VariantBinding(QVariant(QMetaType::fromType<QVariant>(), &inner)).data(),
             QVariant(42));

    // A key the map lacks is not bound and not created.
    VariantBinding missing(&vars, "absent", true);
    QVERIFY(!missing.isBound() && !missing.store());
    QVERIFY(!vars.contains("absent"));
}

void TestKivraValues::bindingsByPointer()
{
    T_LISTDATA callersList {{"a", false, 1, {}}};
    QVariant callersValue = 3;
    QVariantMap vars {{"list", QVariant::fromValue(&callersList)},
                      {"value", QVariant::fromValue(&callersValue)},
                      {"nullList", QVariant::fromValue(T_LISTDATA_PTR(nullptr))}};
    const QVariantMap before = vars;
    {
        ListDataBinding list(&vars, "list", true);
        std::get<1>((*list.data())[0]) = true;
        VariantBinding value(&vars, "value", true);
        *value.data() = 4;
    }
    QVERIFY(std::get<1>(callersList[0]));
    QCOMPARE(callersValue, QVariant(4));
    QCOMPARE(vars, before);

    // A pointer of the other kind, or a null one, binds nothing instead of being followed.
    QVERIFY(!ListDataBinding(&vars, "value", true).isBound());
    QVERIFY(!VariantBinding(&vars, "list", true).isBound());
    QVERIFY(!ListDataBinding(&vars, "nullList", true).isBound());
    QCOMPARE(firstSelectedValue(&vars, "value", "none"), QVariant("none"));
    QCOMPARE(vars, before);
}

void TestKivraValues::changeHandlerVeto()
{
    FormFixture form;
    auto *spin = form.add<QSpinBox>("count", 50006, 50006);
    spin->setValue(3);
    form.vars.insert("count", 3);
    CallRecorder recorder;
    form.wire(
        spin, &QSpinBox::valueChanged,
        INFO(50006, kAskBefore, QString(), QVariant(), "count", recorder.callback("field", 0)),
        INFO(30000, {}, QString(), QVariant(), QString(), recorder.callback("window")));

    spin->setValue(9);
    QCOMPARE(spin->value(), 3);
    QCOMPARE(form.vars.value("count"), QVariant(3));
    QCOMPARE(recorder.calls, QStringList({"field kBeforeDataChanged"}));
    QCOMPARE(recorder.newValues, QVariantList({9}));
    QCOMPARE(recorder.oldValues, QVariantList({3}));
}

void TestKivraValues::changeHandlerRewrite()
{
    FormFixture form;
    auto *edit = form.add<QLineEdit>("name", 20000, 20000);
    form.vars.insert("name", QString());
    CallRecorder recorder;
    form.wire(edit, &QLineEdit::textChanged,
              INFO(20000, kAskBefore, QString(), QVariant(), "name",
                   recorder.callback("field", 1, "REWRITTEN")),
              INFO(30000, {}, QString(), QVariant(), QString(), recorder.callback("window")));

    edit->setText("typed");
    QCOMPARE(edit->text(), QStringLiteral("REWRITTEN"));
    QCOMPARE(form.vars.value("name"), QVariant("REWRITTEN"));
    QCOMPARE(recorder.calls,
             QStringList({"field kBeforeDataChanged", "window kBeforeDataChanged",
                          "field kAfterDataChanged", "window kAfterDataChanged"}));
    QCOMPARE(recorder.newValues, QVariantList({"typed", "REWRITTEN", "REWRITTEN", "REWRITTEN"}));
}

void TestKivraValues::changeHandlerBoundVariable()
{
    FormFixture form;
    auto *edit = form.add<QLineEdit>("path", 20000, 20000);
    QVariant callersPath = QStringLiteral("old");
    form.vars.insert("path", QVariant::fromValue(&callersPath));
    CallRecorder recorder;
    form.wire(edit, &QLineEdit::textChanged,
              INFO(20000, {}, QString(), &callersPath, "path", recorder.callback("field")),
              INFO(30000));

    edit->setText("new.csv");
    QCOMPARE(callersPath, QVariant("new.csv"));
    QCOMPARE(form.vars.value("path").value<T_VARIANT_PTR>(), &callersPath);
    // Without kAskBefore nothing is asked; the after moment reports both values.
    QCOMPARE(recorder.calls, QStringList({"field kAfterDataChanged"}));
    QCOMPARE(recorder.oldValues, QVariantList({"old"}));

    // An unnamed field reports under the fallback name and does not create the entry.
    auto *unnamed = new QLineEdit(&form.window);
    form.wire(unnamed, &QLineEdit::textChanged, INFO(20000), INFO(30000));
    unnamed->setText("x");
    QVERIFY(!form.vars.contains("fallback"));
}

void TestKivraValues::changeHandlerForcedReport()
{
    FormFixture form;
    auto *box = form.add<QCheckBox>("flag", 20004, 20004);
    form.vars.insert("flag", 0);
    CallRecorder recorder;
    form.wire(box, &QCheckBox::stateChanged,
              INFO(20004, {}, QString(), QVariant(), "flag", recorder.callback("field")),
              INFO(30000));

    emit box->stateChanged(0);
    QVERIFY(recorder.calls.isEmpty());
    reemitChange(box, false, false);
    QVERIFY(!isForcedChange());
    QCOMPARE(recorder.calls, QStringList({"field kAfterDataChanged"}));
    QCOMPARE(recorder.newValues, QVariantList({0}));
}

void TestKivraValues::reemitPicksTheWiredSignal()
{
    QSpinBox spin;
    QSignalSpy finished(&spin, &QAbstractSpinBox::editingFinished);
    QSignalSpy valueChanged(&spin, &QSpinBox::valueChanged);
    reemitChange(&spin, true, false);
    reemitChange(&spin, true, true);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(valueChanged.count(), 1);

    QLineEdit empty;
    QSignalSpy textChanged(&empty, &QLineEdit::textChanged);
    reemitChange(&empty, true, false);
    QCOMPARE(textChanged.count(), 0);
    reemitChange(&empty, false, false);
    QCOMPARE(textChanged.count(), 1);

    // A selection list's handler listens to itemSelectionChanged, a check list's to itemChanged.
    FormFixture form;
    auto *selection = form.add<QListWidget>("pick", 20005, 20005);
    auto *checks = form.add<QListWidget>("checks", 20005, 20005, kCheckList);
    for (QListWidget *list : {selection, checks}) {
        list->addItem("a");
        list->setCurrentRow(0);
    }
    QSignalSpy selectionChanged(selection, &QListWidget::itemSelectionChanged);
    QSignalSpy selectionItem(selection, &QListWidget::itemChanged);
    QSignalSpy checkItem(checks, &QListWidget::itemChanged);
    reemitChange(selection, true, false);
    reemitChange(checks, true, false);
    QCOMPARE(selectionChanged.count(), 1);
    QCOMPARE(selectionItem.count(), 0);
    QCOMPARE(checkItem.count(), 1);
}

void TestKivraValues::listDataReaders()
{
    T_LISTDATA list {{"a", false, 1, {}}, {"b", true, 2, {}}, {"c", true, 3, {}}};
    QCOMPARE(firstSelectedValue(list, -1), QVariant(2));
    QCOMPARE(plainValue(QVariant::fromValue(list)), QVariant(QVariantList {2, 3}));
    QCOMPARE(plainValue(QVariant::fromValue(&list), true), QVariant(2));
    QCOMPARE(plainValue(QVariant::fromValue(T_LISTDATA {}), true), QVariant(QVariantList()));
    QCOMPARE(plainValue(QVariant::fromValue(T_VARIANT_PTR(nullptr))), QVariant());
    keepFirstChecked(list);
    QCOMPARE(selectedValues(list), QVariantList({2}));
}

void TestKivraValues::integerConversions_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qlonglong>("expected");
    QTest::addColumn<QString>("text");

    QTest::newRow("text 12.9") << QVariant("12.9") << 12LL << "12";
    QTest::newRow("text -3.5") << QVariant("-3.5") << -3LL << "-3";
    QTest::newRow("text without point") << QVariant("42") << 42LL << "42";
    QTest::newRow("not a number") << QVariant("abc") << 0LL << "abc";
    QTest::newRow("large text") << QVariant("9000000000.5") << 9000000000LL << "9000000000";
}

void TestKivraValues::integerConversions()
{
    QFETCH(QVariant, value);
    QFETCH(qlonglong, expected);
    QFETCH(QString, text);
    QCOMPARE(variantToLongLong(value), expected);
    if (expected >= std::numeric_limits<int>::min() && expected <= std::numeric_limits<int>::max())
        QCOMPARE(variantToInt(value), int(expected));
    if (expected >= 0)
        QCOMPARE(variantToULongLong(value), qulonglong(expected));
    QCOMPARE(variantToIntString(value), QVariant(text));
}

QTEST_MAIN(TestKivraValues)
#include "tst_kivravalues.moc"
