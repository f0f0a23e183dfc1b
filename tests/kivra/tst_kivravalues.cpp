#include "BlockEventGuard.h"
#include "ChangeHandler.h"
#include "FormFixture.h"
#include "ListDataValues.h"
#include "ReemitChange.h"
#include "ValueBinding.h"
#include "VariantConversions.h"
#include "WidgetValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

using namespace kivra;

namespace {

QWidget *makeValueWidget(const QString &kind)
{
    if (kind == "spin")
        return new QSpinBox;
    if (kind == "double")
        return new QDoubleSpinBox;
    if (kind == "date")
        return new QDateEdit;
    if (kind == "datetime")
        return new QDateTimeEdit;
    if (kind == "rich") {
        auto *edit = new QTextEdit;
        edit->setAcceptRichText(true);
        return edit;
    }
    if (kind == "text") {
        auto *edit = new QTextEdit;
        edit->setAcceptRichText(false);
        return edit;
    }
    if (kind == "plain")
        return new QPlainTextEdit;
    if (kind == "line")
        return new QLineEdit;
    if (kind == "check")
        return new QCheckBox;
    return new QLabel;
}

// Records every callback of a field and of its window, as the application would see them.
struct Recorder
{
    struct Call
    {
        QString who;
        CallbackType type;
        QVariant newValue;
        QVariant oldValue;
    };
    QList<Call> calls;

    CallbackVariant callback(const QString &who, int beforeAnswer = 1,
                             const QVariant &replacement = {})
    {
        return ContextCallback([this, who, beforeAnswer, replacement](const CallbackContext &c) {
            calls.append({who, c.type, c.newValue ? *c.newValue : QVariant(),
                          c.oldValue ? *c.oldValue : QVariant()});
            if (c.type != kBeforeDataChanged)
                return 1;
            if (replacement.isValid())
                *c.newValue = replacement;
            return beforeAnswer;
        });
    }
    QStringList summary() const
    {
        QStringList result;
        for (const Call &call : calls)
            result << call.who + ' ' + callbackTypeName(call.type);
        return result;
    }
};

// Connects a widget's change signal to the change handler, as the form builder does.
template<class Signal>
void wire(QWidget *widget, Signal signal, const INFO &field, const INFO &window, QVariantMap *vars)
{
    QObject::connect(static_cast<typename QtPrivate::FunctionPointer<Signal>::Object *>(widget),
                     signal, [=] {
                         onWidgetValueChanged(field, window, widget->window(), widget, {}, vars,
                                              QStringLiteral("fallback"));
                     });
}

} // namespace

class TestKivraValues : public QObject
{
    Q_OBJECT

private slots:
    void widgetValueRoundTrip_data();
    void widgetValueRoundTrip();
    void checkBoxReadsPartialAsZero();
    void writeKeepsCallersSignalBlocking();
    void bindingsByValue();
    void bindingsByPointer();
    void bindingOfWrongPointerKindIsUnbound();
    void changeHandlerVeto();
    void changeHandlerRewrite();
    void changeHandlerBoundVariable();
    void changeHandlerUnchangedAndForced();
    void changeHandlerBlockedEvents();
    void reemitSignals_data();
    void reemitSignals();
    void reemitSelectionListUsesItsSignal();
    void listDataReaders();
    void integerConversions_data();
    void integerConversions();
};

void TestKivraValues::widgetValueRoundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QVariant>("read");

    const QDate date(2024, 2, 29);
    const QDateTime dateTime(date, QTime(13, 45));
    QTest::newRow("spin box") << "spin" << QVariant(7) << QVariant(7);
    QTest::newRow("double spin box") << "double" << QVariant(2.5) << QVariant(2.5);
    QTest::newRow("date edit reads a date") << "date" << QVariant(date) << QVariant(date);
    QTest::newRow("date-time edit") << "datetime" << QVariant(dateTime) << QVariant(dateTime);
    QTest::newRow("plain text edit") << "plain" << QVariant("a\nb") << QVariant("a\nb");
    QTest::newRow("text edit without rich text")
        << "text" << QVariant("<b>x</b>") << QVariant("<b>x</b>");
    QTest::newRow("line edit") << "line" << QVariant("Müller") << QVariant("Müller");
    QTest::newRow("check box") << "check" << QVariant(true) << QVariant(1);
    QTest::newRow("check box off") << "check" << QVariant(false) << QVariant(0);
    QTest::newRow("label holds no value") << "label" << QVariant("x") << QVariant("untouched");
}

void TestKivraValues::widgetValueRoundTrip()
{
    QFETCH(QString, kind);
    QFETCH(QVariant, written);
    QFETCH(QVariant, read);

    std::unique_ptr<QWidget> widget(makeValueWidget(kind));
    if (auto *spin = qobject_cast<QSpinBox *>(widget.get()))
        spin->setRange(-100, 100);
    QVariant value = written;
    getSetWidgetValue(widget.get(), true, false, &value);
    QVariant result = QStringLiteral("untouched");
    getSetWidgetValue(widget.get(), false, false, &result);
    QCOMPARE(result, read);
    QCOMPARE(result.metaType(), read.metaType());
}

void TestKivraValues::checkBoxReadsPartialAsZero()
{
    QCheckBox box;
    box.setTristate(true);
    box.setCheckState(Qt::PartiallyChecked);
    QVariant value;
    getSetWidgetValue(&box, false, false, &value);
    QCOMPARE(value, QVariant(0));

    QTextEdit rich;
    rich.setAcceptRichText(true);
    QVariant html = QStringLiteral("<b>bold</b>");
    getSetWidgetValue(&rich, true, false, &html);
    QCOMPARE(rich.toPlainText(), QStringLiteral("bold"));
    getSetWidgetValue(&rich, false, false, &html);
    QVERIFY(html.toString().contains("font-weight"));
}

void TestKivraValues::writeKeepsCallersSignalBlocking()
{
    QSpinBox spin;
    spin.setRange(0, 100);
    QLineEdit *editor = spin.findChild<QLineEdit *>();
    QVERIFY(editor);
    QSignalSpy valueSpy(&spin, &QSpinBox::valueChanged);
    QSignalSpy textSpy(editor, &QLineEdit::textChanged);

    QVariant value = 5;
    getSetWidgetValue(&spin, true, true, &value);
    QCOMPARE(spin.value(), 5);
    QCOMPARE(valueSpy.count(), 0);
    QCOMPARE(textSpy.count(), 0);
    QVERIFY(!spin.signalsBlocked());
    QVERIFY(!editor->signalsBlocked());

    // A caller that blocked the box itself must find it still blocked afterwards.
    spin.blockSignals(true);
    editor->blockSignals(true);
    value = 6;
    getSetWidgetValue(&spin, true, true, &value);
    QVERIFY(spin.signalsBlocked());
    QVERIFY(editor->signalsBlocked());
    spin.blockSignals(false);
    editor->blockSignals(false);

    value = 7;
    getSetWidgetValue(&spin, true, false, &value);
    QCOMPARE(valueSpy.count(), 1);
}

void TestKivraValues::bindingsByValue()
{
    const T_LISTDATA list {{"a", false, 1, {}}, {"b", true, 2, {}}};
    QVariantMap vars {{"list", QVariant::fromValue(list)}, {"text", "old"}};
    {
        ListDataBinding binding(&vars, "list", true);
        QVERIFY(binding.isBound());
        QVERIFY(!binding.isByPointer());
        QCOMPARE(binding.typeId(), QMetaType::fromType<T_LISTDATA>().id());
        std::get<1>((*binding.data())[0]) = true;
    }
    QCOMPARE(selectedValues(&vars, "list"), QVariantList({1, 2}));
    {
        ListDataBinding readOnly(&vars, "list");
        QVERIFY(readOnly.isReadOnly());
        std::get<1>((*readOnly.data())[0]) = false;
        QVERIFY(!readOnly.store());
    }
    QCOMPARE(selectedValues(&vars, "list"), QVariantList({1, 2}));
    {
        VariantBinding text(&vars, "text", false);
        *text.data() = "new";
        QCOMPARE(vars.value("text"), QVariant("old"));
        QVERIFY(storeVariant(text));
        QCOMPARE(vars.value("text"), QVariant("new"));
    }

    // A variant that itself holds a variant is unwrapped once.
    const QVariant inner = 42;
    const VariantBinding wrapped(QVariant(QMetaType::fromType<QVariant>(), &inner));
    QCOMPARE(*wrapped.data(), QVariant(42));

    VariantBinding missing(&vars, "absent", true);
    QVERIFY(!missing.isBound());
    QCOMPARE(missing.typeId(), -1);
    QVERIFY(!missing.store());
    VariantBinding noMap(nullptr, "text", true);
    QVERIFY(!noMap.isBound());
    QVERIFY(!vars.contains("absent"));
}

void TestKivraValues::bindingsByPointer()
{
    T_LISTDATA callersList {{"a", false, 1, {}}};
    QVariant callersValue = 3;
    QVariantMap vars {{"list", QVariant::fromValue(&callersList)},
                      {"value", QVariant::fromValue(&callersValue)}};
    const QVariantMap before = vars;
    {
        ListDataBinding list(&vars, "list", true);
        QVERIFY(list.isByPointer());
        QCOMPARE(list.data(), &callersList);
        std::get<1>((*list.data())[0]) = true;
        VariantBinding value(&vars, "value", true);
        QCOMPARE(value.data(), &callersValue);
        *value.data() = 4;
    }
    QVERIFY(std::get<1>(callersList[0]));
    QCOMPARE(callersValue, QVariant(4));
    QCOMPARE(vars, before);
    QCOMPARE(plainValue(vars.value("value")), QVariant(4));
    QCOMPARE(plainValue(vars.value("list")), QVariant(QVariantList {1}));
}

void TestKivraValues::bindingOfWrongPointerKindIsUnbound()
{
    T_LISTDATA list {{"a", true, 1, {}}};
    QVariant value = 1;
    QVariantMap vars {{"list", QVariant::fromValue(&list)},
                      {"value", QVariant::fromValue(&value)},
                      {"nullList", QVariant::fromValue(T_LISTDATA_PTR(nullptr))}};
    QVERIFY(!ListDataBinding(&vars, "value", true).isBound());
    QVERIFY(!VariantBinding(&vars, "list", true).isBound());
    QVERIFY(!ListDataBinding(&vars, "nullList", true).isBound());
    QVERIFY(selectedValues(&vars, "value").isEmpty());
    QCOMPARE(firstSelectedValue(&vars, "value", "none"), QVariant("none"));
    QCOMPARE(vars.value("value").value<T_VARIANT_PTR>(), &value);
}

void TestKivraValues::changeHandlerVeto()
{
    FormFixture form;
    auto *spin = form.add<QSpinBox>("count", 50006, 50006);
    spin->setRange(0, 100);
    spin->setValue(3);
    form.vars.insert("count", 3);
    Recorder recorder;
    const INFO field(50006, kAskBefore, QString(), QVariant(), "count",
                     recorder.callback("field", 0));
    const INFO window(30000, {}, QString(), QVariant(), QString(), recorder.callback("window"));
    wire(spin, &QSpinBox::valueChanged, field, window, &form.vars);

    spin->setValue(9);
    QCOMPARE(spin->value(), 3);
    QCOMPARE(form.vars.value("count"), QVariant(3));
    QCOMPARE(recorder.summary(), QStringList({"field kBeforeDataChanged"}));
    QCOMPARE(recorder.calls.first().newValue, QVariant(9));
    QCOMPARE(recorder.calls.first().oldValue, QVariant(3));
}

void TestKivraValues::changeHandlerRewrite()
{
    FormFixture form;
    auto *edit = form.add<QLineEdit>("name", 20000, 20000);
    form.vars.insert("name", QString());
    Recorder recorder;
    const INFO field(20000, kAskBefore, QString(), QVariant(), "name",
                     recorder.callback("field", 1, "REWRITTEN"));
    const INFO window(30000, {}, QString(), QVariant(), QString(), recorder.callback("window"));
    wire(edit, &QLineEdit::textChanged, field, window, &form.vars);

    edit->setText("typed");
    QCOMPARE(edit->text(), QStringLiteral("REWRITTEN"));
    QCOMPARE(form.vars.value("name"), QVariant("REWRITTEN"));
    QCOMPARE(recorder.summary(),
             QStringList({"field kBeforeDataChanged", "window kBeforeDataChanged",
                          "field kAfterDataChanged", "window kAfterDataChanged"}));
    // The window sees the field's replacement, and the after moment the value stored.
    QCOMPARE(recorder.calls.at(1).newValue, QVariant("REWRITTEN"));
    QCOMPARE(recorder.calls.at(3).newValue, QVariant("REWRITTEN"));
}

void TestKivraValues::changeHandlerBoundVariable()
{
    FormFixture form;
    auto *edit = form.add<QLineEdit>("path", 20000, 20000);
    QVariant callersPath = QStringLiteral("old");
    form.vars.insert("path", QVariant::fromValue(&callersPath));
    Recorder recorder;
    const INFO field(20000, {}, QString(), &callersPath, "path", recorder.callback("field"));
    wire(edit, &QLineEdit::textChanged, field, INFO(30000), &form.vars);

    edit->setText("new.csv");
    QCOMPARE(callersPath, QVariant("new.csv"));
    QCOMPARE(form.vars.value("path").value<T_VARIANT_PTR>(), &callersPath);
    // Without kAskBefore nothing is asked; the after moment reports both values.
    QCOMPARE(recorder.summary(), QStringList({"field kAfterDataChanged"}));
    QCOMPARE(recorder.calls.first().oldValue, QVariant("old"));

    // An unnamed field reports under the fallback name and does not create the entry.
    QLineEdit unnamed;
    wire(&unnamed, &QLineEdit::textChanged, INFO(20000), INFO(30000), &form.vars);
    unnamed.setText("x");
    QVERIFY(!form.vars.contains("fallback"));
}

void TestKivraValues::changeHandlerUnchangedAndForced()
{
    FormFixture form;
    auto *box = form.add<QCheckBox>("flag", 20004, 20004);
    form.vars.insert("flag", 0);
    Recorder recorder;
    const INFO field(20004, {}, QString(), QVariant(), "flag", recorder.callback("field"));
    wire(box, &QCheckBox::stateChanged, field, INFO(30000), &form.vars);

    emit box->stateChanged(0);
    QVERIFY(recorder.calls.isEmpty());
    QVERIFY(!isForcedChange());
    reemitChange(box, false, false);
    QVERIFY(!isForcedChange());
    QCOMPARE(recorder.summary(), QStringList({"field kAfterDataChanged"}));
    QCOMPARE(recorder.calls.first().newValue, QVariant(0));
    QCOMPARE(form.vars.value("flag"), QVariant(0));
}

void TestKivraValues::changeHandlerBlockedEvents()
{
    FormFixture form;
    auto *edit = form.add<QLineEdit>("name", 20000, 20000);
    form.vars.insert("name", QString());
    Recorder recorder;
    const INFO field(20000, kAskBefore, QString(), QVariant(), "name",
                     recorder.callback("field", 0));
    wire(edit, &QLineEdit::textChanged, field, INFO(30000), &form.vars);
    {
        const BlockEventGuard guard(edit);
        edit->setText("programmatic");
    }
    QVERIFY(recorder.calls.isEmpty());
    QCOMPARE(edit->text(), QStringLiteral("programmatic"));
    QCOMPARE(form.vars.value("name"), QVariant("programmatic"));
}

void TestKivraValues::reemitSignals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("skipIfEmpty");
    QTest::addColumn<bool>("immediate");
    QTest::addColumn<QString>("expected"); // the signal seen, or "" for none

    QTest::newRow("line edit") << "line" << false << false << "textChanged";
    QTest::newRow("empty line edit skipped") << "line" << true << false << "";
    QTest::newRow("spin box finished") << "spin" << true << false << "editingFinished";
    QTest::newRow("spin box immediate") << "spin" << false << true << "valueChanged";
    QTest::newRow("date edit immediate") << "date" << false << true << "dateChanged";
    QTest::newRow("combo without item skipped") << "combo" << true << false << "";
    QTest::newRow("combo") << "combo" << false << false << "currentIndexChanged";
    QTest::newRow("tab widget without page skipped") << "tabs" << true << false << "";
    QTest::newRow("check box") << "check" << true << false << "stateChanged";
    QTest::newRow("plain text edit") << "plain" << true << false << "textChanged";
}

void TestKivraValues::reemitSignals()
{
    QFETCH(QString, kind);
    QFETCH(bool, skipIfEmpty);
    QFETCH(bool, immediate);
    QFETCH(QString, expected);

    std::unique_ptr<QWidget> widget;
    if (kind == "combo")
        widget = std::make_unique<QComboBox>();
    else if (kind == "tabs")
        widget = std::make_unique<QTabWidget>();
    else
        widget.reset(makeValueWidget(kind));

    // Every notify signal of the widget, so the test sees exactly which one fired.
    QStringList seen;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    const QMetaObject *meta = widget->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal && method.name() != "destroyed" &&
            method.name() != "objectNameChanged")
            spies.push_back(std::make_unique<QSignalSpy>(widget.get(), method));
    }
    reemitChange(widget.get(), skipIfEmpty, immediate);
    for (const auto &spy : spies)
        if (!spy->isEmpty())
            seen << QString::fromLatin1(spy->signal()).section('(', 0, 0);
    // QDateEdit relays its own dateChanged under this name.
    seen.removeAll(QStringLiteral("userDateChanged"));
    QCOMPARE(seen, expected.isEmpty() ? QStringList() : QStringList {expected});
}

void TestKivraValues::reemitSelectionListUsesItsSignal()
{
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
    QCOMPARE(selectedValues(list), QVariantList({2, 3}));
    QCOMPARE(firstSelectedValue(list, -1), QVariant(2));
    QCOMPARE(plainValue(QVariant::fromValue(list), true), QVariant(2));
    QCOMPARE(plainValue(QVariant::fromValue(T_LISTDATA {}), true), QVariant(QVariantList()));
    QCOMPARE(plainValue(QVariant(QStringList {"x", "y"}), true), QVariant("x"));
    QCOMPARE(plainValue(QVariant::fromValue(T_VARIANT_PTR(nullptr))), QVariant());
    QCOMPARE(plainValue(5, true), QVariant(5));

    keepFirstChecked(list);
    QCOMPARE(selectedValues(list), QVariantList({2}));
    QCOMPARE(firstSelectedValue(T_LISTDATA {}, -1), QVariant(-1));
}

void TestKivraValues::integerConversions_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qlonglong>("expected");
    QTest::addColumn<QString>("text");

    QTest::newRow("text 12.9") << QVariant("12.9") << 12LL << "12";
    QTest::newRow("text -3.5") << QVariant("-3.5") << -3LL << "-3";
    QTest::newRow("text 7.99") << QVariant("7.99") << 7LL << "7";
    QTest::newRow("text without point") << QVariant("42") << 42LL << "42";
    QTest::newRow("not a number") << QVariant("abc") << 0LL << "abc";
    QTest::newRow("int") << QVariant(5) << 5LL << "5";
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
