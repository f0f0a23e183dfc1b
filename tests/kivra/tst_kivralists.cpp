#include "FormFixture.h"
#include "ListDataByName.h"
#include "ListDataValues.h"
#include "ListFill.h"
#include "SelectionValues.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kivra;

namespace {

T_LISTDATA items(const QStringList &texts, const QVariantList &data, const QList<bool> &selected)
{
    T_LISTDATA list;
    for (qsizetype i = 0; i < texts.size(); ++i)
        list.push_back({texts.at(i), selected.value(i), data.value(i), {}});
    return list;
}

QList<bool> flags(const T_LISTDATA &list)
{
    QList<bool> result;
    for (const auto &item : list)
        result << std::get<1>(item);
    return result;
}

// The ticked items of a check list, or the selected items of a selection list.
QList<bool> marks(const QListWidget &list, bool checks)
{
    QList<bool> result;
    for (int i = 0; i < list.count(); ++i)
        result << (checks ? list.item(i)->checkState() == Qt::Checked : list.item(i)->isSelected());
    return result;
}

} // namespace

class TestKivraLists : public QObject
{
    Q_OBJECT

private slots:
    void comboSelectsFlaggedRow_data();
    void comboSelectsFlaggedRow();
    void comboChangeModes_data();
    void comboChangeModes();
    void comboSortsDisplayOnly();
    void listWidgetModes();
    void listRefillReportsNoLostSelection();
    void selectionMatching_data();
    void selectionMatching();
    void comboSelectionValue();
    void listSelectionValue();
    void menuSelectionValue();
    void listItemsWithListData();
    void selectListDataItems();
    void setListDataByName();
};

void TestKivraLists::comboSelectsFlaggedRow_data()
{
    QTest::addColumn<QVariantList>("data");
    QTest::addColumn<QList<bool>>("selected");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<bool>>("flagsAfter");

    QTest::newRow("two flagged: first wins")
        << QVariantList {1, 2, 3} << QList<bool> {false, true, true} << 1
        << QList<bool> {false, true, false};
    QTest::newRow("repeated user data")
        << QVariantList {7, 7} << QList<bool> {false, true} << 1 << QList<bool> {false, true};
    QTest::newRow("missing user data")
        << QVariantList {1, QVariant(), QVariant()} << QList<bool> {false, false, true} << 2
        << QList<bool> {false, false, true};
    QTest::newRow("none flagged") << QVariantList {1, 2} << QList<bool> {false, false} << -1
                                  << QList<bool> {false, false};
}

void TestKivraLists::comboSelectsFlaggedRow()
{
    QFETCH(QVariantList, data);
    QFETCH(QList<bool>, selected);
    QFETCH(int, row);
    QFETCH(QList<bool>, flagsAfter);

    QStringList texts;
    for (int i = 0; i < data.size(); ++i)
        texts << QString(QChar('a' + i));
    T_LISTDATA list = items(texts, data, selected);
    QComboBox combo;
    fillComboBox(list, &combo, kComboNeverSignal, false, false);
    QCOMPARE(combo.count(), int(data.size()));
    QCOMPARE(combo.currentIndex(), row);
    QCOMPARE(flags(list), flagsAfter);
}

void TestKivraLists::comboChangeModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("previousRow");
    QTest::addColumn<int>("emitted");

    QTest::newRow("never") << int(kComboNeverSignal) << 0 << 0;
    QTest::newRow("if moved, same row") << int(kComboSignalIfMoved) << 1 << 0;
    QTest::newRow("if moved, other row") << int(kComboSignalIfMoved) << 0 << 1;
    QTest::newRow("always") << int(kComboAlwaysSignal) << 1 << 1;
}

void TestKivraLists::comboChangeModes()
{
    QFETCH(int, mode);
    QFETCH(int, previousRow);
    QFETCH(int, emitted);

    QComboBox combo;
    combo.addItems({"x", "y"});
    combo.setCurrentIndex(previousRow);
    QSignalSpy spy(&combo, &QComboBox::currentIndexChanged);
    T_LISTDATA list = items({"a", "b"}, {1, 2}, {false, true});
    fillComboBox(list, &combo, mode, true, false);
    QCOMPARE(spy.count(), emitted);
    if (emitted)
        QCOMPARE(spy.first().first(), QVariant(1));
    QVERIFY(!combo.signalsBlocked() && combo.updatesEnabled());
    fillComboBox(list, nullptr, mode, false, false);
}

void TestKivraLists::comboSortsDisplayOnly()
{
    T_LISTDATA list = items({"b", "C", "a"}, {1, 2, 3}, {true, false, false});
    QComboBox combo;
    fillComboBox(list, &combo, kComboNeverSignal, false, true);
    QCOMPARE(combo.itemText(0), QStringLiteral("C"));
    QCOMPARE(combo.itemText(1), QStringLiteral("a"));
    QCOMPARE(combo.currentText(), QStringLiteral("b"));
    QCOMPARE(std::get<0>(list[0]), QStringLiteral("b"));
}

void TestKivraLists::listWidgetModes()
{
    T_LISTDATA checkData = items({"a", "b", "c"}, {1, 2, 3}, {true, false, true});
    QListWidget checks;
    fillListWidget(checkData, &checks, true, true, true, false);
    QCOMPARE(marks(checks, true), QList<bool>({true, false, true}));
    QVERIFY(checks.minimumWidth() > 0);

    T_LISTDATA multiData = checkData;
    QListWidget multi;
    fillListWidget(multiData, &multi, false, false, true, false);
    QCOMPARE(multi.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(marks(multi, false), QList<bool>({true, false, true}));

    T_LISTDATA singleData = checkData;
    QListWidget single;
    fillListWidget(singleData, &single, false, false, false, true);
    QCOMPARE(flags(singleData), QList<bool>({true, false, false}));
    QCOMPARE(single.currentItem()->data(Qt::UserRole), QVariant(1));
    QCOMPARE(marks(single, false), QList<bool>({true, false, false}));
}

void TestKivraLists::listRefillReportsNoLostSelection()
{
    QListWidget multi;
    T_LISTDATA list = items({"a", "b"}, {1, 2}, {true, true});
    fillListWidget(list, &multi, false, false, true, false);
    QSignalSpy spy(&multi, &QListWidget::itemSelectionChanged);
    fillListWidget(list, &multi, false, false, true, false);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(marks(multi, false), QList<bool>({true, true}));
}

void TestKivraLists::selectionMatching_data()
{
    QTest::addColumn<QVariant>("itemData");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("matches");

    QTest::newRow("same int") << QVariant(3) << QVariant(3) << true;
    QTest::newRow("int restored as text") << QVariant(3) << QVariant("3") << true;
    QTest::newRow("text and long long") << QVariant("8") << QVariant(8LL) << true;
    QTest::newRow("different text") << QVariant("UTF-8") << QVariant("utf-8") << false;
    QTest::newRow("empty text, no value") << QVariant("") << QVariant() << false;
    QTest::newRow("both invalid") << QVariant() << QVariant() << true;
    QTest::newRow("list against its text") << QVariant(QVariantList {1}) << QVariant("1") << false;
    QTest::newRow("empty list against empty text")
        << QVariant(QStringList()) << QVariant("") << false;
}

void TestKivraLists::selectionMatching()
{
    QFETCH(QVariant, itemData);
    QFETCH(QVariant, value);
    QFETCH(bool, matches);
    QCOMPARE(selectionMatches(itemData, value), matches);
}

void TestKivraLists::comboSelectionValue()
{
    FormFixture form;
    auto *combo = form.add<QComboBox>("sep", 20006, 20006);
    for (int i = 1; i <= 3; ++i)
        combo->addItem(QString::number(i), i);
    combo->setCurrentIndex(0);
    QSignalSpy spy(combo, &QComboBox::currentIndexChanged);

    QVERIFY(applySelectionValue(&form.vars, "sep", QVariantList {3, 2, 1}, false, nullptr));
    QCOMPARE(combo->currentIndex(), 2);
    QVERIFY(!applySelectionValue(&form.vars, "sep", 9, false, nullptr));
    QCOMPARE(combo->currentIndex(), 2);
    // A value read back from an INI file as text still finds its item.
    QVERIFY(applySelectionValue(&form.vars, "sep", "2", false, nullptr));
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(spy.count(), 0);
    QVERIFY(!combo->signalsBlocked());

    QVERIFY(applySelectionValue(&form.vars, "sep", 1, true, nullptr));
    QCOMPARE(spy.count(), 1);
}

void TestKivraLists::listSelectionValue()
{
    FormFixture form;
    auto *checks = form.add<QListWidget>("cols", 20005, 20005, kCheckList | kMultiSelect);
    auto *pick = form.add<QListWidget>("pick", 20005, 20005);
    T_LISTDATA list = items({"a", "b", "c"}, {"A", "B", "C"}, {true, false, false});
    fillListWidget(list, checks, false, true, true, false);
    fillListWidget(list, pick, false, false, false, false);
    QSignalSpy checkSpy(checks, &QListWidget::itemChanged);

    QVERIFY(applySelectionValue(&form.vars, "cols", QStringList {"B", "C"}, false, nullptr));
    QCOMPARE(marks(*checks, true), QList<bool>({false, true, true}));
    QCOMPARE(checkSpy.count(), 0);

    QVERIFY(applySelectionValue(&form.vars, "pick", QStringList {"C", "A"}, false, nullptr));
    QCOMPARE(marks(*pick, false), QList<bool>({false, false, true}));
    // A single value that names no item leaves the list as it was.
    QVERIFY(!applySelectionValue(&form.vars, "pick", "Z", false, nullptr));
    QCOMPARE(marks(*pick, false), QList<bool>({false, false, true}));
    QVERIFY(!applySelectionValue(&form.vars, "nothing", "A", false, nullptr));
}

void TestKivraLists::menuSelectionValue()
{
    FormFixture form;
    auto *button = form.add<QPushButton>("mode", 50017, 50017);
    auto *menu = new QMenu(button);
    button->setMenu(menu);
    QList<QAction *> actions;
    for (int i = 0; i < 3; ++i) {
        QAction *action = menu->addAction(QString::number(i));
        action->setCheckable(true);
        action->setData(i);
        actions << action;
    }
    actions.at(0)->setChecked(true);

    std::vector<QPointer<QObject>> changed;
    QVERIFY(applySelectionValue(&form.vars, "mode", QVariantList {2, 1}, false, &changed));
    QVERIFY(!actions.at(0)->isChecked());
    QVERIFY(!actions.at(1)->isChecked());
    QVERIFY(actions.at(2)->isChecked());
    QCOMPARE(changed.size(), size_t(2));

    button->setProperty("kivra_flags", flagsToBitArray(kMultiSelect));
    changed.clear();
    QVERIFY(applySelectionValue(&form.vars, "mode", QVariantList {0, 1}, false, &changed));
    QVERIFY(actions.at(0)->isChecked() && actions.at(1)->isChecked());
    QVERIFY(!actions.at(2)->isChecked());
    QCOMPARE(changed.size(), size_t(3));
}

void TestKivraLists::listItemsWithListData()
{
    FormFixture form;
    auto *pick = form.add<QListWidget>("pick", 20005, 20005, kMultiSelect);
    T_LISTDATA list =
        items({"ab", "a", "b"}, {QVariant(QStringList {"a", "b"}), QVariant("a"), QVariant("b")},
              {false, false, false});
    form.vars.insert("pick", QVariant::fromValue(list));
    fillListWidget(list, pick, false, false, true, false);

    QVariantList values;
    QVERIFY(valuesToSelect(&form.vars, "pick", QStringList {"a", "b"}, true, &values));
    QCOMPARE(values, QVariantList({QStringList {"a", "b"}}));
    QVERIFY(applySelectionValue(&form.vars, "pick", QStringList {"a", "b"}, false, nullptr));
    QCOMPARE(marks(*pick, false), QList<bool>({true, false, false}));
}

void TestKivraLists::selectListDataItems()
{
    QVariantMap vars {
        {"combo", QVariant::fromValue(items({"a", "b", "c"}, {1, 2, 3}, {false, true, false}))}};
    const auto storedFlags = [&vars] {
        return flags(vars.value("combo").value<T_LISTDATA>());
    };

    QVERIFY(kivra::selectListDataItems(&vars, "combo", "3", false));
    QCOMPARE(storedFlags(), QList<bool>({false, false, true}));
    // A single selection naming no item keeps the current one.
    QVERIFY(!kivra::selectListDataItems(&vars, "combo", 7, false));
    QCOMPARE(storedFlags(), QList<bool>({false, false, true}));
    QVERIFY(kivra::selectListDataItems(&vars, "combo", QVariantList {1, 2}, true));
    QCOMPARE(storedFlags(), QList<bool>({true, true, false}));
    QVERIFY(kivra::selectListDataItems(&vars, "combo", QVariantList {1, 2}, false));
    QCOMPARE(storedFlags(), QList<bool>({true, false, false}));

    // Only list data takes a selection; other entries are left alone.
    vars.insert("plain", QVariantList {1});
    QVERIFY(!kivra::selectListDataItems(&vars, "plain", 1, true));
    QCOMPARE(vars.value("plain"), QVariant(QVariantList {1}));
    QVERIFY(!kivra::selectListDataItems(&vars, "absent", 1, true));

    T_LISTDATA callers = items({"a", "b"}, {1, 2}, {false, false});
    vars.insert("bound", QVariant::fromValue(&callers));
    QVERIFY(kivra::selectListDataItems(&vars, "bound", 2, false));
    QCOMPARE(flags(callers), QList<bool>({false, true}));
}

void TestKivraLists::setListDataByName()
{
    FormFixture form;
    auto *checks = form.add<QListWidget>("empty_data_fields", 20005, 20005, kCheckList);
    T_LISTDATA columns = items({"1", "2"}, {"1", "2"}, {true, true});
    QVERIFY(kivra::setListDataByName(QVariant::fromValue(&columns), &form.vars, "empty_data_fields",
                                     0, true, true, false, true));
    QCOMPARE(marks(*checks, true), QList<bool>({true, true}));
    QCOMPARE(form.vars.value("empty_data_fields").value<T_LISTDATA_PTR>(), &columns);

    auto *combo = form.add<QComboBox>("enc", 20006, 20006);
    T_LISTDATA encodings = items({"a", "b", "c"}, {"", "UTF-8", "UTF-16"}, {false, true, true});
    QVERIFY(kivra::setListDataByName(QVariant::fromValue(&encodings), &form.vars, "enc", 0, false,
                                     false, false, false));
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(flags(encodings), QList<bool>({false, true, false}));

    const T_LISTDATA byValue = items({"x"}, {1}, {true});
    QVERIFY(!kivra::setListDataByName(QVariant::fromValue(byValue), &form.vars, "no_widget", 0,
                                      false, false, false, false));
    QCOMPARE(selectedValues(&form.vars, "no_widget"), QVariantList({1}));

    QVariant notAList;
    QVERIFY(!kivra::setListDataByName(QVariant::fromValue(&notAList), &form.vars, "enc", 0, false,
                                      false, false, false));
    QCOMPARE(combo->count(), 3);
}

QTEST_MAIN(TestKivraLists)
#include "tst_kivralists.moc"
