#include "FormFixture.h"

#include <kivra/Options.h>
#include <kivra/Placement.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace kivra;

// Flag sets must be usable where the application builds its records at compile time.
static_assert((kReadOnly | kExpandingV).testBit(111) && !(kReadOnly | kExpandingV).testBit(1));

class TestKivraRecords : public QObject
{
    Q_OBJECT

private slots:
    void flagSets();
    void inlineOptions_data();
    void inlineOptions();
    void captionsAndOptions();
    void metaTypesByName();
    void widgetLookup();
};

void TestKivraRecords::flagSets()
{
    const FieldFlags flags =
        FieldFlags::bit(0) | FieldFlags::bit(63) | FieldFlags::bit(64) | FieldFlags::bit(255);
    QCOMPARE(flags.count(), 4);
    for (int bit : {1, 62, 65, 254})
        QVERIFY2(!flags.testBit(bit), qPrintable(QString::number(bit)));
    QCOMPARE(FieldFlags::fromBitArray(flagsToBitArray(flags)), flags);

    // A longer array is cut at 256 bits.
    QBitArray bits(300);
    bits.setBit(299);
    bits.setBit(255);
    QCOMPARE(FieldFlags::fromBitArray(bits), FieldFlags::bit(255));

    FieldFlags outOfRange = kReadOnly;
    QTest::ignoreMessage(QtWarningMsg, "FieldFlags: bit position out of range: 256");
    outOfRange.setBit(256);
    QCOMPARE(outOfRange, kReadOnly);
    QVERIFY(!outOfRange.testBit(-1));

    QVERIFY(hasFlags(flags, FieldFlags::bit(64) | kRequired));
    QVERIFY(!hasFlags(flags, kRequired));
    QVERIFY(testFlags(flags, FieldFlags::bit(63) | FieldFlags::bit(255)));
    QVERIFY(!testFlags(flags, FieldFlags::bit(63) | kRequired));
    // An empty mask asks whether nothing is set at all.
    QVERIFY(!testFlags(flags, FieldFlags()));
    QVERIFY(testFlags(FieldFlags(), FieldFlags()));

    // A one-of-N group is read as the distance of its highest set bit from its first bit.
    const auto selector = [](const FieldFlags &set, int first, int last) {
        return selectorValue(set, FieldFlags::bit(first), FieldFlags::bit(last));
    };
    QCOMPARE(selector({}, 50, 59), -1);
    QCOMPARE(selector(FieldFlags::bit(0) | FieldFlags::bit(60), 50, 59), -1);
    QCOMPARE(selector(FieldFlags::bit(59), 50, 59), 9);
    QCOMPARE(selector(FieldFlags::bit(33) | FieldFlags::bit(36), 32, 41), 4);
    QCOMPARE(selector(FieldFlags::bit(128) | FieldFlags::bit(131), 130, 139), 1);
}

void TestKivraRecords::inlineOptions_data()
{
    QTest::addColumn<QStringList>("delimiters");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QVariantMap>("options");

    const QStringList three = inlineOptionDelimiters();
    QTest::newRow("file filter with ;;")
        << three << "Ausgabedatei:{{filefilter}{Text Dateien (*.csv);;Excel-Dateien (*.xlsx)}}"
        << true << "Ausgabedatei:"
        << QVariantMap {{"filefilter", "Text Dateien (*.csv);;Excel-Dateien (*.xlsx)"}};
    QTest::newRow("no option") << three << "Name:" << false << "Name:" << QVariantMap {};
    QTest::newRow("key trimmed, value kept") << three << "A{{ min }{ 3 }}B{{b}{2}}" << true << "AB"
                                             << QVariantMap {{"min", " 3 "}, {"b", "2"}};
    QTest::newRow("empty key dropped") << three << "X{{ }{1}}" << false << "X" << QVariantMap {};
    QTest::newRow("no middle delimiter")
        << three << "X{{a}}" << false << "X{{a}}" << QVariantMap {};
    QTest::newRow("unclosed option stays caption")
        << three << "X{{a}{1}}Y{{b}{2" << true << "XY{{b}{2" << QVariantMap {{"a", "1"}};
    QTest::newRow("two delimiters: key only") << QStringList {"{{", "}}"} << "X{{flag}}Y" << true
                                              << "XY" << QVariantMap {{"flag", QString()}};
}

void TestKivraRecords::inlineOptions()
{
    QFETCH(QStringList, delimiters);
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(QString, remaining);
    QFETCH(QVariantMap, options);

    QVariantMap parsed;
    QCOMPARE(parseInlineOptions(delimiters, text, parsed), found);
    QCOMPARE(text, remaining);
    QCOMPARE(parsed, options);
}

void TestKivraRecords::captionsAndOptions()
{
    const QString star = QStringLiteral("<big><strong style=\"color:red\">*</strong></big>");
    QCOMPARE(markRequiredCaption(QStringLiteral("Name:"), kRequired), "Name: " + star);
    QCOMPARE(markRequiredCaption(QStringLiteral("Name:"), kRequired | kNoRequiredMarker),
             QStringLiteral("Name:"));
    QCOMPARE(markRequiredCaption(QString(), kRequired), QString());
    QCOMPARE(captionParts(QStringLiteral("a;;b"), {}), QStringList({"a", "", "b"}));
    QCOMPARE(captionParts(QStringLiteral("a;b"), kNoCaptionSplit), QStringList({"a;b"}));
    QCOMPARE(Option::timer({{"timer", 500}}), QVariantList {500});
    QCOMPARE(Option::timer({{"timer", QVariantList {100, "t"}}}), QVariantList({100, "t"}));
}

void TestKivraRecords::metaTypesByName()
{
    registerMetaTypes();
    QCOMPARE(QMetaType::fromName("kivra::T_LISTDATA"), QMetaType::fromType<T_LISTDATA>());
    QCOMPARE(QMetaType::fromName("kivra::T_VARIANT_PTR"), QMetaType::fromType<T_VARIANT_PTR>());
    QCOMPARE(QMetaType::fromName("kivra::T_WIDGET_INFO"), QMetaType::fromType<WIDGET_INFO>());
    QCOMPARE(QMetaType::fromName("kivra::CallbackContext"), QMetaType::fromType<CallbackContext>());
}

void TestKivraRecords::widgetLookup()
{
    FormFixture form;
    auto *spin = form.add<QSpinBox>("n", kNumberSpinBox, kNumberSpinBox);
    form.add<QDoubleSpinBox>("n", kNumberSpinBox, kNumberSpinBox);
    auto *lastSpin = form.add<QSpinBox>("n", kNumberSpinBox, kNumberSpinBox);
    form.add<QLabel>("n", kLabel, kLabel);
    const auto spinBox = [&form](int id, int mode) {
        return findWidget<QSpinBox>(&form.vars, "n", id, mode);
    };
    QCOMPARE(spinBox(kNumberSpinBox, kFirstOfKind), spin);
    QCOMPARE(spinBox(kNumberSpinBox, kLastMatch), lastSpin);
    QCOMPARE(spinBox(2, kByIndex), lastSpin);
    QCOMPARE(spinBox(1, kByIndex), nullptr); // a double spin box
    QCOMPARE(spinBox(3, kFirstMatch), spin); // list modes ignore an index
    QCOMPARE(spinBox(kNumberSpinBox, 7), nullptr);
    QCOMPARE(spinBox(kLabel, kFirstOfKind), nullptr);

    // A line edit with its browse button; a deleted widget is absent.
    auto *gone = form.add<QLineEdit>("file", kLineEdit, kOpenFileLineEdit);
    auto *edit = form.add<QLineEdit>("file", kLineEdit, kOpenFileLineEdit);
    auto *button = form.add<QPushButton>("file", kPushButton, kOpenFileLineEdit);
    delete gone;
    QCOMPARE(findWidget<QPushButton>(&form.vars, "file", kPushButton), button);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "file", kOpenFileLineEdit), edit);
    // A code as id turns index mode into a filtered lookup.
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "file", kOpenFileLineEdit, kByIndex), edit);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "file", 0, kByIndex), nullptr);
    QCOMPARE(widgetByName(&form.vars, " file ", 2).data(), button);
    QCOMPARE(toLineEdit(widgetByName(&form.vars, "file", 2)), nullptr);
    QVERIFY(!widgetByName(&form.vars, "file", 0));
    QVERIFY(!widgetByName(&form.vars, "file", 3));
    QVERIFY(!widgetByName(&form.vars, "file", -1));

    // A miss in a list mode leaves out as it was; a hit fills it.
    QLabel sentinel;
    QPointer<QWidget> out(&sentinel);
    QCOMPARE(findWidget<QLabel>(&form.vars, "file", kOpenFileLineEdit, kFirstOfKind, &out),
             nullptr);
    QCOMPARE(findWidget<QLineEdit>(nullptr, "file", kLineEdit, kFirstOfKind, &out), nullptr);
    QCOMPARE(out.data(), &sentinel);
    QCOMPARE(findWidget<QLineEdit>(&form.vars, "file", kOpenFileLineEdit, kLastMatch, &out), edit);
    QCOMPARE(out.data(), edit);
    // Index mode hands out the entry even when it is not of the asked class.
    QCOMPARE(findWidget<QLabel>(&form.vars, "file", 2, kByIndex, &out), nullptr);
    QCOMPARE(out.data(), button);
}

QTEST_MAIN(TestKivraRecords)
#include "tst_kivrarecords.moc"
