#include "FormFixture.h"
#include "WidgetMetadata.h"
#include "WidgetRegistry.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace kivra;

class TestKivraRegistry : public QObject
{
    Q_OBJECT

private slots:
    void lineEditWithBrowseButton();
    void lookupModes_data();
    void lookupModes();
    void missesLeaveOutUnchanged();
    void deletedWidgetsAreAbsent();
    void flagsFromWidget();
};

void TestKivraRegistry::lineEditWithBrowseButton()
{
    FormFixture form;
    auto *edit = form.add<QLineEdit>("input_filename", 20000, 50009);
    auto *button = form.add<QPushButton>("input_filename", 20002, 50009);

    QCOMPARE(findWidget<QPushButton>(&form.vars, "input_filename", 20002), button);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "input_filename", 50009), edit);
    // A code as id turns index mode into a filtered lookup.
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "input_filename", 50009, kByIndex), edit);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "input_filename", 20002), nullptr);
    QCOMPARE(findWidget<QLabel>(&form.vars, "input_filename", 50009), nullptr);

    QCOMPARE(widgetByName(&form.vars, " input_filename ", 1).data(), button);
    QVERIFY(!widgetByName(&form.vars, "input_filename", 2));
    QVERIFY(!widgetByName(&form.vars, "input_filename", -1));
    QCOMPARE(toLineEdit(widgetByName(&form.vars, "input_filename", 1)), nullptr);
}

void TestKivraRegistry::lookupModes_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("expected"); // index in the registered list, -1 for none

    // Registered: 0 spin box (50006), 1 double spin box (50006), 2 spin box (50006), 3 label.
    QTest::newRow("sub-kind, first spin box") << 50006 << int(kFirstOfKind) << 0;
    QTest::newRow("sub-kind, last spin box") << 50006 << int(kLastMatch) << 2;
    QTest::newRow("index 2 is a spin box") << 2 << int(kByIndex) << 2;
    QTest::newRow("index 1 is no QSpinBox") << 1 << int(kByIndex) << -1;
    QTest::newRow("index ignored in list mode") << 3 << int(kFirstMatch) << 0;
    QTest::newRow("unknown mode") << 50006 << 7 << -1;
    QTest::newRow("base code of a label") << 20003 << int(kFirstOfKind) << -1;
}

void TestKivraRegistry::lookupModes()
{
    QFETCH(int, id);
    QFETCH(int, mode);
    QFETCH(int, expected);

    FormFixture form;
    QList<QWidget *> widgets {
        form.add<QSpinBox>("n", 50006, 50006), form.add<QDoubleSpinBox>("n", 50006, 50006),
        form.add<QSpinBox>("n", 50006, 50006), form.add<QLabel>("n", 20003, 20003)};

    QPointer<QWidget> out;
    QSpinBox *found = findWidget<QSpinBox>(&form.vars, "n", id, mode, &out);
    QCOMPARE(static_cast<QWidget *>(found), expected < 0 ? nullptr : widgets.at(expected));
}

void TestKivraRegistry::missesLeaveOutUnchanged()
{
    FormFixture form;
    auto *label = form.add<QLabel>("x", 20003, 20003);
    QLabel sentinel;
    QPointer<QWidget> out(&sentinel);

    QCOMPARE(findWidget<QLineEdit>(&form.vars, "x", 20000, kFirstOfKind, &out), nullptr);
    QCOMPARE(out.data(), &sentinel);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "never", 20000, kFirstOfKind, &out), nullptr);
    QCOMPARE(findWidget<QLineEdit>(nullptr, "x", 20000, kFirstOfKind, &out), nullptr);
    QCOMPARE(out.data(), &sentinel);
    QVERIFY(widgetsByName(nullptr, "x").isEmpty());

    // Index mode hands out the entry even when it is not of the asked class.
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "x", 0, kByIndex, &out), nullptr);
    QCOMPARE(out.data(), label);
}

void TestKivraRegistry::deletedWidgetsAreAbsent()
{
    FormFixture form;
    auto *first = form.add<QLineEdit>("x", 20000, 20000);
    auto *second = form.add<QLineEdit>("x", 20000, 20000);
    delete first;

    QCOMPARE(findWidget<QLineEdit>(&form.vars, "x", 20000), second);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "x", 0, kByIndex), nullptr);
    QVERIFY(!widgetByName(&form.vars, "x", 0));
    QCOMPARE(toLineEdit(widgetByName(&form.vars, "x", 0)), nullptr);
}

void TestKivraRegistry::flagsFromWidget()
{
    FormFixture form;
    auto *list = form.add<QLabel>("x", 20003, 20003, kMultiSelect | kExpandingV);
    QCOMPARE(widgetFlags(list), kMultiSelect | kExpandingV);
    QVERIFY(widgetHasFlags(list, kExpandingV | kRequired));
    QVERIFY(!widgetHasFlags(list, kRequired));

    // Only a full 256-bit array counts as the widget's flag set; a short one still
    // answers for the bits it has.
    QBitArray shortBits(8);
    shortBits.setBit(6);
    list->setProperty("kivra_flags", shortBits);
    QVERIFY(widgetFlags(list).isEmpty());
    QVERIFY(widgetHasFlags(list, kMultiSelect));
    QVERIFY(!widgetHasFlags(list, kExpandingV));

    QPointer<QWidget> gone = new QLabel;
    delete gone.data();
    QVERIFY(!widgetHasFlags(gone, kMultiSelect));
    QCOMPARE(widgetKind(gone), 0);
    setWidgetKind(gone, 5);
}

QTEST_MAIN(TestKivraRegistry)
#include "tst_kivraregistry.moc"
