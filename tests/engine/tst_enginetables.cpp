#include <engine/CountryTable.h>
#include <engine/EngineTables.h>
#include <engine/FieldTypes.h>

#include <QTest>

using vondrel::fieldTypeInfos;
using vondrel::fieldTypeLabel;

class TestEngineTables : public QObject
{
    Q_OBJECT

private slots:
    void fieldTypes();
    void ibanLengths_data();
    void ibanLengths();
    void smallTables();
    void countryTable();
};

void TestEngineTables::fieldTypes()
{
    // Templates are resolved in this order, so it decides which placeholder of a template wins.
    const QStringList order =
        QStringLiteral("<AMOUNT_COMMA> <AMOUNT_DOT> <BIC> <COMPANY> <DATE> <DATETIME> "
                       "<DATETIME_CONVERT> <DATE_CONVERT> <DOMAIN> <EMAIL> <IBAN> <INTEGER> <IP> "
                       "<NAME> <NUM> <PHONE> <PLACE> <STREET> <STREET_NO> <TAXNO> <TEXT> <UUID> "
                       "<VATID> <ZIP>")
            .split(u' ');
    QCOMPARE(placeholderTable.keys(), order);
    for (const QString &outer : order)
        for (const QString &inner : order)
            QVERIFY2(outer == inner || !outer.contains(inner), qPrintable(inner + " in " + outer));

    for (int id = 1; id <= 24; ++id) {
        const QString placeholder = QString::fromLatin1(fieldTypeInfos[id - 1].placeholder);
        QCOMPARE(fieldTypeInfos[id - 1].id, id);
        QCOMPARE(placeholderTable.value(placeholder), id);
        QCOMPARE(placeholderForFieldType(id), placeholder);
        QVERIFY(!fieldTypeLabel(id).isEmpty());
    }
    for (const int id : {0, -1, 25, std::numeric_limits<int>::max()})
        QCOMPARE(placeholderForFieldType(id), QStringLiteral("<TEXT>"));
    QCOMPARE(fieldTypeLabel(7), QStringLiteral("PLZ"));
    QCOMPARE(fieldTypeLabel(24), QStringLiteral("Datum-Zeit zu Text *"));
    QVERIFY(fieldTypeLabel(0).isEmpty());
    QVERIFY(fieldTypeLabel(25).isEmpty());
}

void TestEngineTables::ibanLengths_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("length");
    const std::pair<const char *, int> rows[] = {{"DE", 22}, {"NO", 15}, {"MT", 31}, {"XK", 20},
                                                 {"BE", 16}, {"KO", 0},  {"US", 0},  {"de", 0}};
    for (const auto &[code, length] : rows)
        QTest::newRow(code) << QString::fromLatin1(code) << length;
}

void TestEngineTables::ibanLengths()
{
    QFETCH(QString, code);
    QFETCH(int, length);
    QCOMPARE(ibanLengthTable.contains(code), length != 0);
    QCOMPARE(ibanLengthTable.value(code), length);
    QCOMPARE(ibanLengthOf(code[0].unicode(), code[1].unicode()), length);
}

void TestEngineTables::smallTables()
{
    QCOMPARE(ibanLengthTable.size(), 68);
    // Every IBAN is at least country, check digits and some account digits.
    for (int len : ibanLengthTable)
        QVERIFY(len >= 15 && len <= 34);
    // The direct lookup agrees with the table on every pair of letters.
    for (char16_t a = u'@'; a <= u'['; ++a) {
        for (char16_t b = u'@'; b <= u'['; ++b)
            QCOMPARE(ibanLengthOf(a, b), ibanLengthTable.value(QString(QChar(a)) + QChar(b)));
    }
    const QMap<int, QChar> separators = {{1, u'\t'}, {2, u','}, {3, u';'}};
    QCOMPARE(separatorTable, separators);
    QCOMPARE(searchModeNames.keys(), QList<int>({1, 2, 3, 4, 6}));
}

void TestEngineTables::countryTable()
{
    QCOMPARE(::countryTable.size(), 250);
    QCOMPARE(::countryTable.first().iso2, QStringLiteral("AF"));
    QCOMPARE(::countryTable.last().iso2, QStringLiteral("CW"));

    int ibanRows = 0;
    QMap<QString, CountryRecord> byCode;
    for (const CountryRecord &record : ::countryTable) {
        ibanRows += record.ibanCountry;
        QVERIFY(record.reserved.isEmpty());
        byCode.insert(record.iso2, record);
    }
    QCOMPARE(byCode.size(), 250);
    QCOMPARE(ibanRows, 76);
    QCOMPARE(byCode["GR"].altCode, QStringLiteral("EL"));
    QCOMPARE(byCode["GB"].altCode, QStringLiteral("UK"));
    QCOMPARE(byCode["KO"].altCode, QStringLiteral("XK"));
    QCOMPARE(byCode["KO"].iso3, QStringLiteral("XKX"));
    QVERIFY(!byCode["KO"].ibanCountry);
    QVERIFY(byCode["SV"].ibanCountry);
    QVERIFY(!ibanLengthTable.contains(QStringLiteral("SV")));
}

QTEST_GUILESS_MAIN(TestEngineTables)
#include "tst_enginetables.moc"
