#include "CaptionMarkers.h"
#include "FieldFlags.h"
#include "INFO.h"
#include "InlineOptions.h"
#include "MetaTypes.h"
#include "OptionKeys.h"
#include "OptionReaders.h"
#include "OptionSetters.h"
#include "ReservedKeys.h"
#include "WindowFlagPresets.h"

#include <QTest>

using namespace kivra;

// Flag sets must be usable where the application builds its records at compile time.
static_assert(FieldFlags::bit(200).testBit(200));
static_assert(!(kReadOnly | kExpandingV).testBit(1));
static_assert((kReadOnly | kExpandingV).testBit(111));

class TestKivraRecords : public QObject
{
    Q_OBJECT

private slots:
    void flagBitsAcrossWords();
    void flagSetRejectsOutOfRange();
    void flagTests();
    void selectorGroups_data();
    void selectorGroups();
    void windowFlagPresets();
    void infoValueAlternatives();
    void metaTypesRegisteredByName();
    void inlineOptions_data();
    void inlineOptions();
    void requiredCaption();
    void optionSettersChain();
    void optionReaderDefaults();
    void reservedKeysStripped();
};

void TestKivraRecords::flagBitsAcrossWords()
{
    const FieldFlags flags = FieldFlags::bit(0) | FieldFlags::bit(63) | FieldFlags::bit(64) |
        FieldFlags::bit(127) | FieldFlags::bit(255);
    QCOMPARE(flags.count(), 5);
    for (int bit : {0, 63, 64, 127, 255})
        QVERIFY2(flags.testBit(bit), qPrintable(QString::number(bit)));
    for (int bit : {1, 62, 65, 128, 254})
        QVERIFY2(!flags.testBit(bit), qPrintable(QString::number(bit)));

    const QBitArray bits = flagsToBitArray(flags);
    QCOMPARE(bits.size(), 256);
    QCOMPARE(bits.count(true), 5);
    QVERIFY(bits.testBit(127));
    QCOMPARE(FieldFlags::fromBitArray(bits), flags);

    // A shorter array only yields the bits it has; a longer one is cut at 256.
    QBitArray shortBits(70);
    shortBits.setBit(64);
    QCOMPARE(FieldFlags::fromBitArray(shortBits), FieldFlags::bit(64));
    QBitArray longBits(300);
    longBits.setBit(299);
    longBits.setBit(255);
    QCOMPARE(FieldFlags::fromBitArray(longBits), FieldFlags::bit(255));

    QCOMPARE(FieldFlags::bit(64).lowestSetBit(), 64);
    QCOMPARE(FieldFlags().lowestSetBit(), -1);
}

void TestKivraRecords::flagSetRejectsOutOfRange()
{
    FieldFlags flags = kReadOnly;
    QTest::ignoreMessage(QtWarningMsg, "FieldFlags: bit position out of range: 256");
    flags.setBit(256);
    QTest::ignoreMessage(QtWarningMsg, "FieldFlags: bit position out of range: -1");
    flags.setBit(-1);
    QCOMPARE(flags, kReadOnly);
    QVERIFY(!flags.testBit(256));
    QVERIFY(!flags.testBit(-1));
}

void TestKivraRecords::flagTests()
{
    const FieldFlags flags = kMultiSelect | kCheckList | kExpandingH;
    QVERIFY(hasFlags(flags, kCheckList | kRequired));
    QVERIFY(!hasFlags(flags, kRequired | kMinimumExpandingV));
    QVERIFY(!hasFlags(flags, FieldFlags()));

    QVERIFY(testFlags(flags, kMultiSelect | kExpandingH));
    QVERIFY(!testFlags(flags, kMultiSelect | kRequired));
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
    QTest::newRow("lowest of span group") << QList<int> {50} << 50 << 59 << 0;
    QTest::newRow("bits outside group only") << QList<int> {0, 60} << 50 << 59 << -1;
    QTest::newRow("highest set bit wins") << QList<int> {33, 36} << 32 << 41 << 4;
    QTest::newRow("group above 64") << QList<int> {102} << 100 << 109 << 2;
    QTest::newRow("stretch group spans word edge") << QList<int> {128, 131} << 130 << 139 << 1;
    QTest::newRow("trailing stretch") << QList<int> {129} << 120 << 129 << 9;
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

void TestKivraRecords::windowFlagPresets()
{
    QCOMPARE(int(kDlgTitleClose), 0x0a001003);
    QCOMPARE(int(kDlgTitleMinMax), 0x0200d003);
    QCOMPARE(int(kDlgTitleMinMaxClose), 0x0a00d003);
    QCOMPARE(int(kDlgTitleSysMinMax), 0x0200f003);
    QCOMPARE(int(kDlgTitleSysMinMaxClose), 0x0a00f003);
    QCOMPARE(int(kWndTitleClose), 0x0a001001);
    QCOMPARE(int(kWndTitleMinMax), 0x0200d001);
    QCOMPARE(int(kWndTitleMinMaxClose), 0x0a00d001);
    QCOMPARE(int(kWndTitleSysMinMax), 0x0200f001);
    QCOMPARE(int(kWndTitleSysMinMaxClose), 0x0a00f001);
    QCOMPARE(kDefaultDialogFlags, kDlgTitleSysMinMaxClose);
    QCOMPARE(kDefaultMainWindowFlags, kWndTitleSysMinMaxClose);
}

void TestKivraRecords::infoValueAlternatives()
{
    T_LISTDATA list {{QStringLiteral("a"), false, 1, {}}};
    const INFO byCopy(20006, {}, QString(), list);
    QVERIFY(isListData(byCopy.value));
    list.clear();
    QCOMPARE(byCopy.value.value<T_LISTDATA>().size(), size_t(1));

    const INFO byPointer(20006, {}, QString(), &list);
    QVERIFY(isListDataPtr(byPointer.value));
    QCOMPARE(byPointer.value.value<T_LISTDATA_PTR>(), &list);

    QVariant external = 5;
    const INFO bound(20000, {}, QString(), &external, QStringLiteral("x"));
    QVERIFY(isVariantPtr(bound.value));
    QCOMPARE(bound.value.value<T_VARIANT_PTR>(), &external);

    QObject object;
    const INFO caller(20008, {}, QString(), &object);
    QCOMPARE(caller.value.value<QObject *>(), &object);

    const INFO plain(20000, kReadOnly, QStringLiteral("Name:"), QVariant(QStringLiteral("v")));
    QCOMPARE(plain.value, QVariant(QStringLiteral("v")));
    QCOMPARE(plain.options.toString(), QStringLiteral("Name:"));

    const INFO empty;
    QCOMPARE(empty.type, 0u);
    QVERIFY(empty.flags.isEmpty());
    QCOMPARE(empty.options, QVariant(QString()));
    QCOMPARE(empty.callback.index(), size_t(0));
}

void TestKivraRecords::metaTypesRegisteredByName()
{
    registerMetaTypes();
    registerMetaTypes();
    const struct
    {
        const char *name;
        QMetaType type;
    } expected[] = {
        {"kivra::T_LISTDATA", QMetaType::fromType<T_LISTDATA>()},
        {"kivra::T_LISTDATA_PTR", QMetaType::fromType<T_LISTDATA_PTR>()},
        {"kivra::T_VARIANT_PTR", QMetaType::fromType<T_VARIANT_PTR>()},
        {"kivra::T_VARMAP_SHARED_PTR", QMetaType::fromType<T_VARMAP_SHARED_PTR>()},
        {"kivra::WIDGET_INFO", QMetaType::fromType<WIDGET_INFO>()},
        {"kivra::T_WIDGET_INFO", QMetaType::fromType<WIDGET_INFO>()},
        {"kivra::CallbackContext", QMetaType::fromType<CallbackContext>()},
    };
    for (const auto &entry : expected)
        QVERIFY2(QMetaType::fromName(entry.name) == entry.type, entry.name);

    // Value-map entries are compared when bindings decide whether to write back.
    T_LISTDATA list {{QStringLiteral("a"), true, 1, {{Qt::ToolTipRole, QStringLiteral("t")}}}};
    QCOMPARE(QVariant::fromValue(list), QVariant::fromValue(list));
    QVERIFY(isList(QVariant(QStringList())));
    QVERIFY(isList(QVariant(QVariantList())));
    QVERIFY(!isList(QVariant::fromValue(list)));
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
    QTest::newRow("key trimmed, value kept")
        << three << "A{{ min }{ 3 }}B" << true << "AB" << QVariantMap {{"min", " 3 "}};
    QTest::newRow("two options") << three << "{{a}{1}}X{{b}{2}}" << true << "X"
                                 << QVariantMap {{"a", "1"}, {"b", "2"}};
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

void TestKivraRecords::requiredCaption()
{
    const QString star = QStringLiteral("<big><strong style=\"color:red\">*</strong></big>");
    QCOMPARE(markRequiredCaption(QStringLiteral("Name:"), kRequired), "Name: " + star);
    QCOMPARE(markRequiredCaption(QStringLiteral("Name:"), kRequired | kNoRequiredMarker),
             QStringLiteral("Name:"));
    QCOMPARE(markRequiredCaption(QString(), kRequired), QString());
    QCOMPARE(markRequiredCaption(QStringLiteral("Name:"), FieldFlags()), QStringLiteral("Name:"));

    QCOMPARE(captionParts(QStringLiteral("a;;b"), {}), QStringList({"a", "", "b"}));
    QCOMPARE(captionParts(QStringLiteral("a;b"), kNoCaptionSplit), QStringList({"a;b"}));
}

void TestKivraRecords::optionSettersChain()
{
    const QVariantMap base {{"title", "Ab Zeile:"}};
    const QVariantMap options = optTypealign(optMaxwidth(base, 50006, 100), 50006, 1);
    QCOMPARE(options,
             QVariantMap({{"title", "Ab Zeile:"}, {"maxwidth50006", 100}, {"typealign50006", 1}}));
    QCOMPARE(base.size(), 1);
    QCOMPARE(optIndexalign({}, 2, 4), QVariantMap({{"indexalign2", 4}}));
    QCOMPARE(perTypeKey(OptionKey::stretch, 0), QStringLiteral("stretch0"));
}

void TestKivraRecords::optionReaderDefaults()
{
    const QVariantMap empty;
    QVERIFY(Option::groupsep(empty));
    QVERIFY(!Option::spinbox(empty));
    QVERIFY(Option::iniautosave(empty));
    QVERIFY(!Option::iniusemulticonf(empty));
    QCOMPARE(Option::precision(empty), 2);
    QCOMPARE(Option::regexPatternOptions(empty), 0);
    QVERIFY(!Option::signedDatatype(empty).isValid());
    QVERIFY(Option::timer(empty).isEmpty());

    const QVariantMap set = optSpinbox(optGroupsep({}, false), true);
    QVERIFY(!Option::groupsep(set));
    QVERIFY(Option::spinbox(set));
    QCOMPARE(Option::timer({{"timer", 500}}), QVariantList({500}));
    QCOMPARE(Option::timer({{"timer", QVariantList {100, "t"}}}), QVariantList({100, "t"}));
    QCOMPARE(Option::stretch(optStretch({}, 20000, 3), 20000), QVariant(3));
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
    const QString second = nextAutoVarKey();
    QVERIFY(first.startsWith(kAutoVarPrefix));
    QCOMPARE(second.mid(kAutoVarPrefix.size()).toInt(),
             first.mid(kAutoVarPrefix.size()).toInt() + 1);
}

QTEST_MAIN(TestKivraRecords)
#include "tst_kivrarecords.moc"
