#include "CaptionMarkers.h"
#include "FieldFlags.h"
#include "INFO.h"
#include "InlineOptions.h"
#include "OptionReaders.h"
#include "OptionSetters.h"
#include "ReservedKeys.h"

#include <QTest>

using namespace kivra;

// Flag sets must be usable where the application builds its records at compile time.
static_assert(FieldFlags::bit(200).testBit(200));
static_assert((kReadOnly | kExpandingV).testBit(111) && !(kReadOnly | kExpandingV).testBit(1));

class TestKivraRecords : public QObject
{
    Q_OBJECT

private slots:
    void flagBitsAcrossWords();
    void selectorGroups_data();
    void selectorGroups();
    void infoValueAlternatives();
    void metaTypesRegisteredByName();
    void inlineOptions_data();
    void inlineOptions();
    void captionsAndOptions();
    void reservedKeysStripped();
};

void TestKivraRecords::flagBitsAcrossWords()
{
    const FieldFlags flags = FieldFlags::bit(0) | FieldFlags::bit(63) | FieldFlags::bit(64) |
        FieldFlags::bit(127) | FieldFlags::bit(255);
    QCOMPARE(flags.count(), 5);
    for (int bit : {1, 62, 65, 128, 254})
        QVERIFY2(!flags.testBit(bit), qPrintable(QString::number(bit)));
    QCOMPARE(FieldFlags::fromBitArray(flagsToBitArray(flags)), flags);
    QVERIFY(flagsToBitArray(flags).testBit(127));

    // A shorter array only yields the bits it has; a longer one is cut at 256.
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
}

void TestKivraRecords::selectorGroups_data()
{
    QTest::addColumn<QList<int>>("bits");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("expected");

    QTest::newRow("no bit at all") << QList<int> {} << 50 << 59 << -1;
    QTest::newRow("highest of span group") << QList<int> {59} << 50 << 59 << 9;
    QTest::newRow("bits outside group only") << QList<int> {0, 60} << 50 << 59 << -1;
    QTest::newRow("highest set bit wins") << QList<int> {33, 36} << 32 << 41 << 4;
    QTest::newRow("group above 64") << QList<int> {128, 131} << 130 << 139 << 1;
}

void TestKivraRecords::selectorGroups()
{
    QFETCH(QList<int>, bits);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, expected);
    FieldFlags flags;
    for (int bit : bits)
        flags.setBit(bit);
    QCOMPARE(selectorValue(flags, FieldFlags::bit(first), FieldFlags::bit(last)), expected);
}

void TestKivraRecords::infoValueAlternatives()
{
    T_LISTDATA list {{QStringLiteral("a"), false, 1, {}}};
    const INFO byCopy(20006, {}, QString(), list);
    const INFO byPointer(20006, {}, QString(), &list);
    list.clear();
    QCOMPARE(byCopy.value.value<T_LISTDATA>().size(), size_t(1));
    QCOMPARE(byPointer.value.value<T_LISTDATA_PTR>(), &list);

    QVariant external = 5;
    QObject object;
    QCOMPARE(INFO(20000, {}, QString(), &external).value.value<T_VARIANT_PTR>(), &external);
    QCOMPARE(INFO(20008, {}, QString(), &object).value.value<QObject *>(), &object);
    QCOMPARE(INFO(20000, {}, QString(), QVariant(QStringLiteral("v"))).value, QVariant("v"));
}

void TestKivraRecords::metaTypesRegisteredByName()
{
    registerMetaTypes();
    registerMetaTypes();
    QCOMPARE(QMetaType::fromName("kivra::T_LISTDATA"), QMetaType::fromType<T_LISTDATA>());
    QCOMPARE(QMetaType::fromName("kivra::T_WIDGET_INFO"), QMetaType::fromType<WIDGET_INFO>());
    QCOMPARE(QMetaType::fromName("kivra::CallbackContext"), QMetaType::fromType<CallbackContext>());

    // Value-map entries are compared when bindings decide whether to write back.
    T_LISTDATA list {{QStringLiteral("a"), true, 1, {{Qt::ToolTipRole, QStringLiteral("t")}}}};
    QCOMPARE(QVariant::fromValue(list), QVariant::fromValue(list));
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

    const QVariantMap set = optTypealign(optMaxwidth(optGroupsep({}, false), 50006, 100), 50006, 1);
    QVERIFY(!Option::groupsep(set));
    QCOMPARE(set,
             QVariantMap({{"groupsep", false}, {"maxwidth50006", 100}, {"typealign50006", 1}}));
    QCOMPARE(Option::timer({{"timer", 500}}), QVariantList({500}));
    QCOMPARE(Option::timer({{"timer", QVariantList {100, "t"}}}), QVariantList({100, "t"}));
}

void TestKivraRecords::reservedKeysStripped()
{
    QVariantMap vars {{"name", 1},
                      {autoVarKey(" x "), 2},
                      {widgetDataKey("name"), 3},
                      {objectDataKey("menus"), 4},
                      {"::KIVRA_auto_var:y", 5}};
    QCOMPARE(autoVarKey(" x "), QStringLiteral("::kivra_auto_var:x"));
    stripReservedKeys(&vars);
    QCOMPARE(vars.keys(), QStringList({"::KIVRA_auto_var:y", "name"}));
    stripReservedKeys(nullptr);

    const QString first = nextAutoVarKey();
    QCOMPARE(nextAutoVarKey().mid(kAutoVarPrefix.size()).toInt(),
             first.mid(kAutoVarPrefix.size()).toInt() + 1);
}

QTEST_MAIN(TestKivraRecords)
#include "tst_kivrarecords.moc"
