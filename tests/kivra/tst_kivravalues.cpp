#include "FormFixture.h"

#include <kivra/ListData.h>
#include <kivra/Menus.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>
#include <kivra/Selection.h>
#include <kivra/ValueExchange.h>

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWidgetAction>

using namespace kivra;

namespace {

// A form with one widget of each kind the value writer serves, every value widget wired to
// the change handler with a callback that records what reaches the application.
struct Form : FormFixture
{
    Form()
    {
        name = add<QLineEdit>("name", kLineEdit, kLineEdit);
        flag = add<QCheckBox>("flag", kCheckBox, kCheckBox);
        count = add<QSpinBox>("count", kNumberSpinBox, kNumberSpinBox, kImmediateUpdate);
        count->setRange(0, 1000);
        wire(name, &QLineEdit::textChanged, field("name", kAskBefore), INFO(kDialogWindow));
        wire(flag, &QCheckBox::stateChanged, field("flag"), INFO(kDialogWindow));
        wire(count, &QSpinBox::valueChanged, field("count"), INFO(kDialogWindow));
        path = add<QLineEdit>("path", kLineEdit, kOpenFileLineEdit);
        browse = add<QPushButton>("path", kPushButton, kOpenFileLineEdit);
        sep = add<QComboBox>("sep", kComboBox, kComboBox);
        T_LISTDATA separators = listData({1, 2, 3}, {false, false, true});
        fillComboBox(separators, sep, kComboNeverSignal, false, false);
        color = add<QPushButton>("color", kPushButton, kColorButton);
        add<QLabel>("caption", kLabel, kLabel);
        add<QTabWidget>("tabs", kTabWidget, kTabWidget);
        vars.insert({{"name", "old"},
                     {"flag", 0},
                     {"count", 1},
                     {"path", QVariant::fromValue(&boundPath)},
                     {"sep", QVariant::fromValue(separators)},
                     {"color", QVariant()},
                     {"tabs", 0}});
    }

    INFO field(const QString &fieldName, const FieldFlags &flags = {})
    {
        return INFO(0, flags, QString(), QVariant(), fieldName, recorder.callback(fieldName));
    }

    CallRecorder recorder;
    QVariant boundPath = QStringLiteral("in.csv");
    QLineEdit *name;
    QCheckBox *flag;
    QSpinBox *count;
    QLineEdit *path;
    QPushButton *browse;
    QComboBox *sep;
    QPushButton *color;
};

// The ticked items of a check list, or the selected items of a selection list.
QList<bool> marks(const QListWidget &list, bool checks)
{
    QList<bool> result;
    for (int i = 0; i < list.count(); ++i)
        result << (checks ? list.item(i)->checkState() == Qt::Checked : list.item(i)->isSelected());
    return result;
}

QStringList texts(const QMenu &menu, bool checkedOnly)
{
    QStringList result;
    const QList<QAction *> actions = menu.actions();
    for (const QAction *action : actions)
        if (!checkedOnly || action->isChecked())
            result << action->text();
    return result;
}

QList<int> kinds(const std::vector<MenuEntry> &entries)
{
    QList<int> result;
    for (const MenuEntry &entry : entries)
        result << int(entry.index());
    return result;
}

} // namespace

class TestKivraValues : public QObject
{
    Q_OBJECT

private slots:
    void widgetValueRoundTrip_data();
    void widgetValueRoundTrip();
    void writeKeepsCallersSignalBlocking();
    void bindings();
    void changeHandler_data();
    void changeHandler();
    void reemitPicksTheWiredSignal();
    void textForms();
    void setWidgetDataWithoutCallbacks();
    void setWidgetDataReemitReportsFilledWidgets();
    void fillCombo_data();
    void fillCombo();
    void listWidgetModes();
    void selectionValue_data();
    void selectionValue();
    void selectionSpecialEntries();
    void setListDataByName();
    void buttonMenuSelection_data();
    void buttonMenuSelection();
    void buttonMenuItemRoles();
    void walkMenuTree();
    void valuesReachMenuActions();
};

void TestKivraValues::widgetValueRoundTrip_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QVariant>("read");

    const QDateTime dateTime(QDate(2024, 2, 29), QTime(13, 45));
    QTest::newRow("double spin box") << "QDoubleSpinBox" << QVariant(2.5) << QVariant(2.5);
    QTest::newRow("date edit reads a date")
        << "QDateEdit" << QVariant(dateTime.date()) << QVariant(dateTime.date());
    QTest::newRow("date-time edit") << "QDateTimeEdit" << QVariant(dateTime) << QVariant(dateTime);
    QTest::newRow("text edit without rich text")
        << "QTextEdit" << QVariant("<b>x</b>") << QVariant("<b>x</b>");
    QTest::newRow("check box") << "QCheckBox" << QVariant(true) << QVariant(1);
    QTest::newRow("label holds no value") << "QLabel" << QVariant("x") << QVariant("untouched");
}

void TestKivraValues::widgetValueRoundTrip()
{
    QFETCH(QString, className);
    QFETCH(QVariant, written);
    QFETCH(QVariant, read);

    QWidget window;
    const QList<QWidget *> widgets {new QDoubleSpinBox(&window), new QDateEdit(&window),
                                    new QDateTimeEdit(&window),  new QTextEdit(&window),
                                    new QCheckBox(&window),      new QLabel(&window)};
    QWidget *widget = *std::find_if(widgets.cbegin(), widgets.cend(), [&](QWidget *w) {
        return className == QLatin1String(w->metaObject()->className());
    });
    if (auto *edit = qobject_cast<QTextEdit *>(widget))
        edit->setAcceptRichText(false);

    QVariant value = written;
    getSetWidgetValue(widget, true, false, &value);
    QVariant result = QStringLiteral("untouched");
    getSetWidgetValue(widget, false, false, &result);
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

void TestKivraValues::bindings()
{
    T_LISTDATA callersList = listData({1});
    QVariant callersValue = 3;
    QVariantMap vars {{"list", QVariant::fromValue(listData({1}))},
                      {"text", "old"},
                      {"listPtr", QVariant::fromValue(&callersList)},
                      {"valuePtr", QVariant::fromValue(&callersValue)},
                      {"nullList", QVariant::fromValue(T_LISTDATA_PTR(nullptr))}};
    {
        ListDataBinding list(&vars, "list", true);
        std::get<1>((*list.data())[0]) = true;
        ListDataBinding readOnly(&vars, "list");
        std::get<1>((*readOnly.data())[0]) = false;
        QVERIFY(!readOnly.store());
        VariantBinding text(&vars, "text", false);
        *text.data() = "new";
        ListDataBinding listPtr(&vars, "listPtr", true);
        std::get<1>((*listPtr.data())[0]) = true;
        VariantBinding valuePtr(&vars, "valuePtr", true);
        *valuePtr.data() = 4;
    }
    QCOMPARE(selectedValues(&vars, "list"), QVariantList {1});
    QCOMPARE(vars.value("text"), QVariant("old"));
    // Pointer entries stay pointers; the edits reach the caller's objects.
    QCOMPARE(selectedFlags(callersList), QList<bool>({true}));
    QCOMPARE(callersValue, QVariant(4));
    QCOMPARE(vars.value("valuePtr").value<T_VARIANT_PTR>(), &callersValue);

    // A pointer of the other kind, or a null one, binds nothing instead of being followed.
    const QVariantMap before = vars;
    QVERIFY(!ListDataBinding(&vars, "valuePtr", true).isBound());
    QVERIFY(!VariantBinding(&vars, "listPtr", true).isBound());
    QVERIFY(!ListDataBinding(&vars, "nullList", true).isBound());
    QCOMPARE(firstSelectedValue(&vars, "valuePtr", "none"), QVariant("none"));
    // A key the map lacks is not bound and not created.
    VariantBinding missing(&vars, "absent", true);
    QVERIFY(!missing.isBound() && !missing.store());
    QCOMPARE(vars, before);

    // A variant that itself holds a variant is unwrapped once.
    const QVariant inner = 42;
    QCOMPARE(*VariantBinding(QVariant(QMetaType::fromType<QVariant>(), &inner)).data(),
             QVariant(42));

    // What an entry stands for: the selected user data, the bound variable's value.
    T_LISTDATA list = listData({1, 2, 3}, {false, true, true});
    QCOMPARE(firstSelectedValue(list, -1), QVariant(2));
    QCOMPARE(plainValue(QVariant::fromValue(list)), QVariant(QVariantList {2, 3}));
    QCOMPARE(plainValue(QVariant::fromValue(&list), true), QVariant(2));
    QCOMPARE(plainValue(QVariant::fromValue(T_LISTDATA {}), true), QVariant(QVariantList()));
    QCOMPARE(plainValue(QVariant::fromValue(T_VARIANT_PTR(nullptr))), QVariant());
    keepFirstChecked(list);
    QCOMPARE(selectedValues(list), QVariantList {2});
}

void TestKivraValues::changeHandler_data()
{
    QTest::addColumn<bool>("askBefore");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("bound");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QVariantList>("newValues");

    const QStringList before = {"field kBeforeDataChanged", "window kBeforeDataChanged"};
    const QStringList after = {"field kAfterDataChanged", "window kAfterDataChanged"};
    QTest::newRow("veto restores widget and map")
        << true << 0 << "" << false << "old" << QStringList {"field kBeforeDataChanged"}
        << QVariantList {"typed"};
    QTest::newRow("rewrite reaches window, widget and map")
        << true << 1 << "REWRITTEN" << false << "REWRITTEN" << before + after
        << QVariantList {"typed", "REWRITTEN", "REWRITTEN", "REWRITTEN"};
    // Without kAskBefore nothing is asked; the after moment reports both values.
    QTest::newRow("not asked") << false << 0 << "" << false << "typed" << after
                               << QVariantList {"typed", "typed"};
    QTest::newRow("bound variable")
        << false << 1 << "" << true << "typed" << after << QVariantList {"typed", "typed"};
}

void TestKivraValues::changeHandler()
{
    QFETCH(bool, askBefore);
    QFETCH(int, answer);
    QFETCH(QString, replacement);
    QFETCH(bool, bound);
    QFETCH(QString, shown);
    QFETCH(QStringList, calls);
    QFETCH(QVariantList, newValues);

    FormFixture form;
    auto *edit = form.add<QLineEdit>("name", kLineEdit, kLineEdit);
    edit->setText("old");
    QVariant callers = QStringLiteral("old");
    form.vars.insert("name", bound ? QVariant::fromValue(&callers) : QVariant("old"));
    CallRecorder recorder;
    const FieldFlags flags = askBefore ? kAskBefore : FieldFlags();
    form.wire(
        edit, &QLineEdit::textChanged,
        INFO(kLineEdit, flags, QString(), QVariant(), "name",
             recorder.callback("field", answer, replacement.isEmpty() ? QVariant() : replacement)),
        INFO(kDialogWindow, {}, QString(), QVariant(), QString(), recorder.callback("window")));

    edit->setText("typed");
    QCOMPARE(edit->text(), shown);
    QCOMPARE(plainValue(form.vars.value("name")), QVariant(shown));
    if (bound)
        QCOMPARE(form.vars.value("name").value<T_VARIANT_PTR>(), &callers);
    QCOMPARE(recorder.calls, calls);
    QCOMPARE(recorder.newValues, newValues);
    QCOMPARE(recorder.oldValues.first(), QVariant("old"));

    // An unchanged value reaches the after moment only through a forced re-emit.
    const qsizetype reported = recorder.calls.filter("After").size();
    emit edit->textChanged(edit->text());
    QCOMPARE(recorder.calls.filter("After").size(), reported);

    // An unnamed field reports under the fallback name and does not create the entry.
    auto *unnamed = new QLineEdit(&form.window);
    form.wire(unnamed, &QLineEdit::textChanged, INFO(kLineEdit), INFO(kDialogWindow));
    unnamed->setText("x");
    QVERIFY(!form.vars.contains("fallback"));
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

    // A selection list's handler listens to itemSelectionChanged, a check list's to itemChanged.
    FormFixture form;
    auto *selection = form.add<QListWidget>("pick", kListWidget, kListWidget);
    auto *checks = form.add<QListWidget>("checks", kListWidget, kListWidget, kCheckList);
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

void TestKivraValues::textForms()
{
    // Text is cut before its point: "12.9" reads as 12.
    QCOMPARE(variantToInt("12.9"), 12);
    QCOMPARE(variantToLongLong("-3.5"), -3LL);
    QCOMPARE(variantToULongLong("9000000000.5"), 9000000000ULL);
    QCOMPARE(variantToInt("abc"), 0);
    QCOMPARE(variantToIntString("12.9"), QVariant("12"));
    QCOMPARE(variantToIntString("abc"), QVariant("abc"));

    // Selections compare values of other types by their text forms: a number read back as text.
    QVERIFY(selectionMatches(3, "3"));
    QVERIFY(selectionMatches("8", 8LL));
    QVERIFY(selectionMatches(QVariant(), QVariant()));
    QVERIFY(!selectionMatches("UTF-8", "utf-8"));
    QVERIFY(!selectionMatches("", QVariant()));
    QVERIFY(!selectionMatches(QVariantList {1}, "1"));
    QVERIFY(!selectionMatches(QStringList(), ""));
}

void TestKivraValues::setWidgetDataWithoutCallbacks()
{
    Form form;
    QVariant external = 250;
    const QVariantMap values {
        {"name", "new"},        {"flag", true}, {"count", QVariant::fromValue(&external)},
        {"path", "out.csv"},    {"sep", "2"},   {"color", "#ff0000"},
        {"caption", "ignored"}, {"tabs", 3}};
    QVERIFY(setWidgetData(&form.vars, values, false));

    QCOMPARE(form.name->text(), QStringLiteral("new"));
    QVERIFY(form.flag->isChecked());
    QCOMPARE(form.count->value(), 250);
    QCOMPARE(form.path->text(), QStringLiteral("out.csv"));
    QCOMPARE(form.sep->currentIndex(), 1);
    QCOMPARE(form.browse->text(), QString());

    QCOMPARE(form.vars.value("name"), QVariant("new"));
    QCOMPARE(form.vars.value("flag"), QVariant(true));
    QCOMPARE(form.vars.value("count"), QVariant(250));
    // A bound variable takes the value; the map keeps pointing at it.
    QCOMPARE(form.boundPath, QVariant("out.csv"));
    QCOMPARE(form.vars.value("path").value<T_VARIANT_PTR>(), &form.boundPath);
    QCOMPARE(selectedValues(&form.vars, "sep"), QVariantList {2});
    QCOMPARE(form.vars.value("color"), QVariant("#ff0000"));
    QVERIFY(!form.vars.contains("caption"));
    QCOMPARE(form.vars.value("tabs"), QVariant(0));

    // Reserved keys are never applied.
    auto *hidden = form.add<QLineEdit>(autoVarKey("1"), kLineEdit, kLineEdit);
    QVERIFY(setWidgetData(&form.vars, {{autoVarKey("1"), "x"}, {widgetDataKey("name"), 1}}, false));
    QCOMPARE(hidden->text(), QString());
    QCOMPARE(form.name->text(), QStringLiteral("new"));
    QVERIFY(!widgetsByName(&form.vars, "name").isEmpty());

    // A name without any widget is not a value of this form.
    QVERIFY(!setWidgetData(&form.vars, {{"unknown", 1}}, false));
    QVERIFY(!form.vars.contains("unknown"));

    // A value that names no combo item leaves both the combo box and its list data.
    QVERIFY(setWidgetData(&form.vars, {{"sep", 9}}, false));
    QCOMPARE(form.sep->currentIndex(), 1);
    QCOMPARE(selectedValues(&form.vars, "sep"), QVariantList {2});

    // A menu button checks the named action, and its list data follows, so the value is saved.
    auto *menuButton = form.add<QPushButton>("view", kPushButton, kMenuButton);
    menuButton->setMenu(new QMenu(menuButton));
    T_LISTDATA views = listData({1, 2, 3}, {true});
    fillMenuFromListData(views, menuButton->menu(), true, false, nullptr);
    form.vars.insert("view", QVariant::fromValue(views));
    QVERIFY(setWidgetData(&form.vars, {{"view", 3}}, false));
    QVERIFY(menuButton->menu()->actions().at(2)->isChecked());
    QCOMPARE(selectedFlags(form.vars.value("view").value<T_LISTDATA>()),
             QList<bool>({false, false, true}));

    // A widget whose key the map lacks gets the value; the map gains no entry.
    form.vars.remove("name");
    QVERIFY(setWidgetData(&form.vars, {{"name", "shown"}}, false));
    QCOMPARE(form.name->text(), QStringLiteral("shown"));
    QVERIFY(!form.vars.contains("name"));

    // The map applied to itself is left alone.
    form.vars.insert("name", "changed in the map only");
    QVERIFY(setWidgetData(&form.vars, form.vars, true));
    QCOMPARE(form.name->text(), QStringLiteral("shown"));
    QVERIFY(form.recorder.calls.isEmpty());
    QVERIFY(!setWidgetData(nullptr, {{"name", 1}}, false));
}

void TestKivraValues::setWidgetDataReemitReportsFilledWidgets()
{
    Form form;
    form.flag->setProperty("kivra_flags", flagsToBitArray(kEmitInitialChangeIfSet));
    QSignalSpy clicked(form.color, &QPushButton::clicked);
    QSignalSpy sepChanged(form.sep, &QComboBox::currentIndexChanged);

    // Name and flag keep their stored values: only the forced re-emit can report them.
    QVERIFY(setWidgetData(
        &form.vars,
        {{"name", "old"}, {"flag", false}, {"count", 5}, {"color", "#00ff00"}, {"sep", 1}}, true));
    QVERIFY(!isForcedChange());
    QCOMPARE(form.recorder.calls,
             QStringList({"count kAfterDataChanged", "flag kAfterDataChanged",
                          "name kBeforeDataChanged", "name kAfterDataChanged"}));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first(), QVariant(true));
    QCOMPARE(sepChanged.count(), 1);
    QCOMPARE(sepChanged.first().first(), QVariant(0));
}

void TestKivraValues::fillCombo_data()
{
    QTest::addColumn<QVariantList>("data");
    QTest::addColumn<QList<bool>>("selected");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("previousRow"); // -1: the combo box starts empty
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<bool>>("flagsAfter");
    QTest::addColumn<bool>("emitted");

    const int never = kComboNeverSignal;
    const int ifMoved = kComboSignalIfMoved;
    const QList<bool> none {false, false};
    const QList<bool> second {false, true};
    const QList<bool> third {false, false, true};
    QTest::newRow("two flagged: first wins")
        << QVariantList {1, 2, 3} << QList<bool> {false, true, true} << false << never << -1 << 1
        << QList<bool> {false, true, false} << false;
    QTest::newRow("repeated user data")
        << QVariantList {7, 7} << second << false << never << -1 << 1 << second << false;
    QTest::newRow("missing user data") << QVariantList {1, QVariant(), QVariant()} << third << false
                                       << never << -1 << 2 << third << false;
    QTest::newRow("none flagged") << QVariantList {1, 2} << none << false << never << -1 << -1
                                  << none << false;
    // Sorted case-sensitively for display only; the list keeps its order.
    QTest::newRow("sorted") << QVariantList {"b", "C", "a"} << QList<bool> {true} << true << never
                            << -1 << 2 << QList<bool> {true, false, false} << false;
    QTest::newRow("if moved, same row")
        << QVariantList {1, 2} << second << false << ifMoved << 1 << 1 << second << false;
    QTest::newRow("if moved, other row")
        << QVariantList {1, 2} << second << false << ifMoved << 0 << 1 << second << true;
    QTest::newRow("always") << QVariantList {1, 2} << second << false << int(kComboAlwaysSignal)
                            << 1 << 1 << second << true;
}

void TestKivraValues::fillCombo()
{
    QFETCH(QVariantList, data);
    QFETCH(QList<bool>, selected);
    QFETCH(bool, sort);
    QFETCH(int, mode);
    QFETCH(int, previousRow);
    QFETCH(int, row);
    QFETCH(QList<bool>, flagsAfter);
    QFETCH(bool, emitted);

    QComboBox combo;
    if (previousRow >= 0) {
        combo.addItems({"x", "y"});
        combo.setCurrentIndex(previousRow);
    }
    QSignalSpy spy(&combo, &QComboBox::currentIndexChanged);
    T_LISTDATA list = listData(data, selected);
    fillComboBox(list, &combo, mode, previousRow >= 0, sort);
    QCOMPARE(combo.count(), int(data.size()));
    QCOMPARE(combo.currentIndex(), row);
    QCOMPARE(selectedFlags(list), flagsAfter);
    const qsizetype flagged = flagsAfter.indexOf(true);
    QCOMPARE(combo.currentText(), flagged < 0 ? QString() : std::get<0>(list[flagged]));
    QCOMPARE(spy.count(), int(emitted));
    if (emitted)
        QCOMPARE(spy.first().first(), QVariant(row));
    QVERIFY(!combo.signalsBlocked() && combo.updatesEnabled());
    fillComboBox(list, nullptr, mode, false, false);
}

void TestKivraValues::listWidgetModes()
{
    const T_LISTDATA data = listData({1, 2, 3}, {true, false, true});
    T_LISTDATA checkData = data;
    QListWidget checks;
    fillListWidget(checkData, &checks, true, true, true, false);
    QCOMPARE(marks(checks, true), QList<bool>({true, false, true}));
    QVERIFY(checks.minimumWidth() > 0);

    T_LISTDATA multiData = data;
    QListWidget multi;
    fillListWidget(multiData, &multi, false, false, true, false);
    QCOMPARE(multi.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(marks(multi, false), QList<bool>({true, false, true}));
    // A refill with the same selection reports no change.
    QSignalSpy spy(&multi, &QListWidget::itemSelectionChanged);
    fillListWidget(multiData, &multi, false, false, true, false);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(marks(multi, false), QList<bool>({true, false, true}));

    T_LISTDATA singleData = data;
    QListWidget single;
    fillListWidget(singleData, &single, false, false, false, true);
    QCOMPARE(selectedFlags(singleData), QList<bool>({true, false, false}));
    QCOMPARE(single.currentItem()->data(Qt::UserRole), QVariant(1));
    QCOMPARE(marks(single, false), QList<bool>({true, false, false}));
}

void TestKivraValues::selectionValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("keepSignals");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QList<bool>>("marked");
    QTest::addColumn<int>("changedActions");

    // Every widget shows the items 1, 2, 3 with the first one selected.
    const QList<bool> first {true, false, false};
    const QList<bool> second {false, true, false};
    const QList<bool> third {false, false, true};
    const QList<bool> lastTwo {false, true, true};
    const QVariant threeTwoOne = QVariantList {3, 2, 1};
    QTest::newRow("combo takes the first value")
        << "combo" << threeTwoOne << false << true << third << 0;
    // A value read back from an INI file as text still finds its item.
    QTest::newRow("combo, number as text")
        << "combo" << QVariant("2") << false << true << second << 0;
    QTest::newRow("combo, no such item") << "combo" << QVariant(9) << false << false << first << 0;
    QTest::newRow("combo, signals kept") << "combo" << QVariant(2) << true << true << second << 0;
    QTest::newRow("check list ticks all named")
        << "checks" << QVariant(QStringList {"2", "3"}) << false << true << lastTwo << 0;
    QTest::newRow("selection list takes the first")
        << "pick" << QVariant(QStringList {"3", "1"}) << false << true << third << 0;
    QTest::newRow("selection list, no such item")
        << "pick" << QVariant("9") << false << false << first << 0;
    QTest::newRow("menu takes the first") << "menu" << threeTwoOne << false << true << third << 2;
    QTest::newRow("multi-select menu checks all named")
        << "menus" << QVariant(QVariantList {2, 3}) << false << true << lastTwo << 3;
}

void TestKivraValues::selectionValue()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(bool, keepSignals);
    QFETCH(bool, applied);
    QFETCH(QList<bool>, marked);
    QFETCH(int, changedActions);

    FormFixture form;
    T_LISTDATA items = listData({1, 2, 3}, {true});
    auto *combo = form.add<QComboBox>("combo", kComboBox, kComboBox);
    fillComboBox(items, combo, kComboNeverSignal, false, false);
    const FieldFlags multi = kCheckList | kMultiSelect;
    auto *checks = form.add<QListWidget>("checks", kListWidget, kListWidget, multi);
    fillListWidget(items, checks, false, true, true, false);
    auto *pick = form.add<QListWidget>("pick", kListWidget, kListWidget);
    fillListWidget(items, pick, false, false, false, false);
    for (const QString &menuName : QStringList {"menu", "menus"}) {
        auto *button = form.add<QPushButton>(menuName, kPushButton, kMenuButton,
                                             menuName == "menus" ? multi : FieldFlags());
        button->setMenu(new QMenu(button));
        fillMenuFromListData(items, button->menu(), true, false, nullptr);
    }
    QWidget *widget = widgetByName(&form.vars, name, 0);
    form.vars.insert(name, QVariant::fromValue(items));
    QSignalSpy comboSpy(combo, &QComboBox::currentIndexChanged);
    QSignalSpy checkSpy(checks, &QListWidget::itemChanged);
    QSignalSpy pickSpy(pick, &QListWidget::itemSelectionChanged);

    std::vector<QPointer<QObject>> changed;
    QCOMPARE(applySelectionValue(&form.vars, name, value, keepSignals, &changed), applied);
    QList<bool> shown;
    for (int i = 0; i < 3; ++i) {
        if (auto *list = qobject_cast<QListWidget *>(widget))
            shown << (list == checks ? list->item(i)->checkState() == Qt::Checked
                                     : list->item(i)->isSelected());
        else if (auto *button = qobject_cast<QPushButton *>(widget))
            shown << button->menu()->actions().at(i)->isChecked();
        else
            shown << (combo->currentIndex() == i);
    }
    QCOMPARE(shown, marked);
    QCOMPARE(int(changed.size()), changedActions);
    QCOMPARE(comboSpy.count() + checkSpy.count() + pickSpy.count(), keepSignals ? 1 : 0);
    QVERIFY(!widget->signalsBlocked());

    // The list data under the name takes the same selection.
    const bool all = widgetHasFlags(widget, kMultiSelect);
    QCOMPARE(kivra::selectListDataItems(&form.vars, name, value, all), applied);
    QCOMPARE(selectedFlags(form.vars.value(name).value<T_LISTDATA>()), marked);
}

void TestKivraValues::selectionSpecialEntries()
{
    FormFixture form;
    auto *pick = form.add<QListWidget>("pick", kListWidget, kListWidget, kMultiSelect);
    T_LISTDATA list = listData({QStringList {"a", "b"}, "a", "b"});
    form.vars.insert("pick", QVariant::fromValue(list));
    fillListWidget(list, pick, false, false, true, false);
    // A value that equals an item's list names that item, not the items of its elements.
    QVariantList values;
    QVERIFY(valuesToSelect(&form.vars, "pick", QStringList {"a", "b"}, true, &values));
    QCOMPARE(values, QVariantList({QStringList {"a", "b"}}));
    QVERIFY(applySelectionValue(&form.vars, "pick", QStringList {"a", "b"}, false, nullptr));
    QCOMPARE(marks(*pick, false), QList<bool>({true, false, false}));
    QVERIFY(!applySelectionValue(&form.vars, "nothing", "a", false, nullptr));

    // Only list data takes a selection; other entries are left alone.
    form.vars.insert("plain", QVariantList {1});
    QVERIFY(!kivra::selectListDataItems(&form.vars, "plain", 1, true));
    QCOMPARE(form.vars.value("plain"), QVariant(QVariantList {1}));
    QVERIFY(!kivra::selectListDataItems(&form.vars, "absent", 1, true));
    T_LISTDATA callers = listData({1, 2});
    form.vars.insert("bound", QVariant::fromValue(&callers));
    QVERIFY(kivra::selectListDataItems(&form.vars, "bound", 2, false));
    QCOMPARE(selectedFlags(callers), QList<bool>({false, true}));
}

void TestKivraValues::setListDataByName()
{
    FormFixture form;
    auto *checks = form.add<QListWidget>("empty_data_fields", kListWidget, kListWidget, kCheckList);
    T_LISTDATA columns = listData({"1", "2"}, {true, true});
    QVERIFY(kivra::setListDataByName(QVariant::fromValue(&columns), &form.vars, "empty_data_fields",
                                     0, true, true, false, true));
    QCOMPARE(marks(*checks, true), QList<bool>({true, true}));
    QCOMPARE(form.vars.value("empty_data_fields").value<T_LISTDATA_PTR>(), &columns);

    auto *combo = form.add<QComboBox>("enc", kComboBox, kComboBox);
    T_LISTDATA encodings = listData({"", "UTF-8", "UTF-16"}, {false, true, true});
    QVERIFY(kivra::setListDataByName(QVariant::fromValue(&encodings), &form.vars, "enc", 0, false,
                                     false, false, false));
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(selectedFlags(encodings), QList<bool>({false, true, false}));

    QVERIFY(!kivra::setListDataByName(QVariant::fromValue(listData({1}, {true})), &form.vars,
                                      "no_widget", 0, false, false, false, false));
    QCOMPARE(selectedValues(&form.vars, "no_widget"), QVariantList {1});

    QVariant notAList;
    QVERIFY(!kivra::setListDataByName(QVariant::fromValue(&notAList), &form.vars, "enc", 0, false,
                                      false, false, false));
    QCOMPARE(combo->count(), 3);
}

void TestKivraValues::buttonMenuSelection_data()
{
    QTest::addColumn<bool>("multiple");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("single: first checked only, exclusive")
        << false << false << QStringList {"b", "a", "c"} << QStringList {"b"};
    QTest::newRow("multiple keeps every checked item")
        << true << false << QStringList {"b", "a", "c"} << QStringList {"b", "a"};
    QTest::newRow("sorted") << false << true << QStringList {"a", "b", "c"} << QStringList {"b"};
}

void TestKivraValues::buttonMenuSelection()
{
    QFETCH(bool, multiple);
    QFETCH(bool, sort);
    QFETCH(QStringList, order);
    QFETCH(QStringList, checked);

    T_LISTDATA list = listData({2, 1, 3}, {true, true, false}, {"b", "a", "c"});
    QMenu menu;
    menu.addAction(QStringLiteral("stale"));
    std::vector<QPointer<QAction>> created;
    fillMenuFromListData(list, &menu, multiple, sort, &created);
    // Refilled, as a second value does.
    fillMenuFromListData(list, &menu, multiple, sort, &created);

    QCOMPARE(texts(menu, false), order);
    QCOMPARE(texts(menu, true), checked);
    QCOMPARE(std::get<0>(list.front()), QStringLiteral("b"));
    QCOMPARE(std::get<1>(list[1]), multiple);
    QCOMPARE(created.size(), size_t(6));
    QCOMPARE(menu.findChildren<QActionGroup *>().size(), multiple ? 0 : 1);

    QAction *third = menu.actions().at(2);
    QCOMPARE(third->data(), QVariant(3));
    third->trigger();
    QCOMPARE(texts(menu, true).contains(QStringLiteral("b")), multiple);
}

void TestKivraValues::buttonMenuItemRoles()
{
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::red);
    const QIcon icon(pixmap);
    T_LISTDATA list = listData({1, 2, 3, 4});
    std::get<3>(list[0]) = {{Qt::DecorationRole, icon}};
    std::get<3>(list[1]) = {{Qt::DecorationRole, icon}, {Qt::DecorationRole, pixmap}};
    std::get<3>(list[2]) = {{Qt::ToolTipRole, "Hilfe"},
                            {Qt::CheckStateRole, Qt::Checked},
                            {Qt::UserRole, "x"},
                            {Qt::DisplayRole, "renamed"}};
    QMenu menu;
    fillMenuFromListData(list, &menu, true, false, nullptr);
    const QList<QAction *> actions = menu.actions();
    QVERIFY(actions[0]->icon().isNull());
    QVERIFY(!actions[1]->icon().isNull());
    QCOMPARE(actions[2]->toolTip(), QStringLiteral("Hilfe"));
    QVERIFY(actions[2]->isChecked());
    QCOMPARE(actions[2]->data(), QVariant("x"));
    QCOMPARE(actions[2]->text(), QStringLiteral("renamed"));
    // A tool tip on any item, not only on the last, shows the menu's tool tips.
    QVERIFY(menu.toolTipsVisible());
}

void TestKivraValues::walkMenuTree()
{
    QMenu menu(QStringLiteral("Datei"));
    menu.addAction(QStringLiteral("Neu"));
    menu.addSeparator();
    QMenu *recent = menu.addMenu(QStringLiteral("Zuletzt"));
    recent->addAction(QStringLiteral("a.csv"));
    menu.addAction(new QWidgetAction(&menu));
    std::vector<MenuEntry> entries;
    kivra::walkMenuTree(&menu, 0, &entries);
    QCOMPARE(kinds(entries), QList<int>({1, 0, 0, 0, 1, 0, 0, 2}));
    QCOMPARE(std::get<QPointer<QMenu>>(entries[4]).data(), recent);

    // A menu inside itself ends the walk: A, the action and menu of B, B's action back to A
    // (not walked again), A's own action.
    QMenu outer(QStringLiteral("A"));
    QMenu inner(QStringLiteral("B"));
    outer.addMenu(&inner);
    inner.addMenu(&outer);
    outer.addMenu(&outer);
    entries.clear();
    kivra::walkMenuTree(&outer, 0, &entries);
    QCOMPARE(kinds(entries), QList<int>({1, 0, 1, 0, 1, 0, 1}));
}

void TestKivraValues::valuesReachMenuActions()
{
    QVariantMap vars = {{"view_list", false}, {"view_grid", true}};
    QMenu menu;
    menu.setProperty("menuid", "view");
    auto *group = new QActionGroup(&menu);
    for (const char *id : {"view_list", "view_grid"}) {
        QAction *action = menu.addAction(QString::fromLatin1(id));
        action->setCheckable(true);
        action->setProperty("menuid", id);
        group->addAction(action);
    }
    menu.actions().at(1)->setChecked(true);
    auto *zoom = new QWidgetAction(&menu);
    zoom->setProperty("menuid", "zoom");
    menu.addAction(zoom);
    QVERIFY(!findMenuActionById(&vars, "view_list"));
    registerMenu(&menu, &vars);
    registerMenu(&menu, &vars);
    QCOMPARE(menuObjects(&vars).size(), 1);
    QCOMPARE(findMenuActionById(&vars, "view_grid"), menu.actions().at(1));
    QCOMPARE(findWidgetActionById(&vars, "zoom"), zoom);
    QVERIFY(!findWidgetActionById(&vars, "view_grid"));
    QCOMPARE(findMenuById(&vars, "view"), &menu);

    QVERIFY(setWidgetData(&vars, {{"view_list", 1}}, false));
    QCOMPARE(texts(menu, true), QStringList({"view_list"}));
    QCOMPARE(vars.value("view_list"), QVariant(true));
    QCOMPARE(vars.value("view_grid"), QVariant(false));
    QVERIFY(!setWidgetData(&vars, {{"unknown", 1}}, false));
}

QTEST_MAIN(TestKivraValues)
#include "tst_kivravalues.moc"
