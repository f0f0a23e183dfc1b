#include "CountryTable.h"
#include "EngineTables.h"
#include "FieldTypes.h"

#include <QSet>
#include <QTest>

using vondrel::FieldTypeInfo;
using vondrel::fieldTypeInfos;
using vondrel::fieldTypeLabel;
namespace FieldTypeId = vondrel::FieldTypeId;

class TestEngineTables : public QObject
{
    Q_OBJECT

private slots:
    void placeholderTableOrder();
    void placeholderForFieldType_data();
    void placeholderForFieldType();
    void fieldTypeInfosMatchTable();
    void ibanLengths_data();
    void ibanLengths();
    void tableShapes();
    void countryTable();
};

void TestEngineTables::placeholderTableOrder()
{
    const QStringList expected = {
        "<AMOUNT_COMMA>",
        "<AMOUNT_DOT>",
        "<BIC>",
        "<COMPANY>",
        "<DATE>",
        "<DATETIME>",
        "<DATETIME_CONVERT>",
        "<DATE_CONVERT>",
        "<DOMAIN>",
        "<EMAIL>",
        "<IBAN>",
        "<INTEGER>",
        "<IP>",
        "<NAME>",
        "<NUM>",
        "<PHONE>",
        "<PLACE>",
        "<STREET>",
        "<STREET_NO>",
        "<TAXNO>",
        "<TEXT>",
        "<UUID>",
        "<VATID>",
        "<ZIP>",
    };
    QCOMPARE(placeholderTable.keys(), expected);

    // No placeholder may occur inside another one.
    for (const QString &outer : expected)
        for (const QString &inner : expected)
            if (outer != inner)
                QVERIFY2(!outer.contains(inner), qPrintable(inner + " in " + outer));
}

void TestEngineTables::placeholderForFieldType_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("placeholder");
    QTest::newRow("0") << 0 << "<TEXT>";
    QTest::newRow("-1") << -1 << "<TEXT>";
    QTest::newRow("25") << 25 << "<TEXT>";
    QTest::newRow("int max") << std::numeric_limits<int>::max() << "<TEXT>";
    QTest::newRow("1") << 1 << "<TEXT>";
    QTest::newRow("4") << 4 << "<NAME>";
    QTest::newRow("6") << 6 << "<STREET_NO>";
    QTest::newRow("19") << 19 << "<IBAN>";
    QTest::newRow("24") << 24 << "<DATETIME_CONVERT>";
}

void TestEngineTables::placeholderForFieldType()
{
    QFETCH(int, id);
    QFETCH(QString, placeholder);
    QCOMPARE(::placeholderForFieldType(id), placeholder);
}

void TestEngineTables::fieldTypeInfosMatchTable()
{
    QCOMPARE(placeholderTable.size(), 24);
    for (int id = 1; id <= 24; ++id) {
        const FieldTypeInfo &info = fieldTypeInfos[id - 1];
        QCOMPARE(info.id, id);
        QCOMPARE(placeholderTable.value(QString::fromLatin1(info.placeholder)), id);
        QVERIFY(!fieldTypeLabel(id).isEmpty());
    }
    QCOMPARE(fieldTypeLabel(7), QStringLiteral("PLZ"));
    QCOMPARE(fieldTypeLabel(24), QStringLiteral("Datum-Zeit zu Text *"));
    QVERIFY(fieldTypeLabel(0).isEmpty());
    QVERIFY(fieldTypeLabel(25).isEmpty());
}

void TestEngineTables::ibanLengths_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("length");
    QTest::newRow("DE") << "DE" << 22;
    QTest::newRow("NO") << "NO" << 15;
    QTest::newRow("MT") << "MT" << 31;
    QTest::newRow("XK") << "XK" << 20;
    QTest::newRow("BE") << "BE" << 16;
    QTest::newRow("KO") << "KO" << 0;
    QTest::newRow("US") << "US" << 0;
    QTest::newRow("de") << "de" << 0;
}

void TestEngineTables::ibanLengths()
{
    QFETCH(QString, code);
    QFETCH(int, length);
    QCOMPARE(ibanLengthTable.contains(code), length != 0);
    QCOMPARE(ibanLengthTable.value(code), length);
}

void TestEngineTables::tableShapes()
{
    QCOMPARE(ibanLengthTable.size(), 68);
    // Every IBAN is at least country, check digits and some account digits.
    for (int len : ibanLengthTable)
        QVERIFY(len >= 15 && len <= 34);

    QCOMPARE(separatorTable.size(), 3);
    QCOMPARE(separatorTable.value(1), QChar(u'\t'));
    QCOMPARE(separatorTable.value(2), QChar(u','));
    QCOMPARE(separatorTable.value(3), QChar(u';'));
    QVERIFY(!separatorTable.contains(0));
    QVERIFY(!separatorTable.contains(4));
    QVERIFY(!searchModeNames.contains(5));
    QCOMPARE(searchModeNames.size(), 5);
}

void TestEngineTables::countryTable()
{
    QCOMPARE(::countryTable.size(), 250);
    QCOMPARE(::countryTable.first().iso2, QStringLiteral("AF"));
    QCOMPARE(::countryTable.last().iso2, QStringLiteral("CW"));

    QSet<QString> codes;
    int ibanRows = 0;
    for (const CountryRecord &record : ::countryTable) {
        codes.insert(record.iso2);
        if (record.ibanCountry)
            ++ibanRows;
        QVERIFY(record.reserved.isEmpty());
    }
    QCOMPARE(codes.size(), 250);
    QCOMPARE(ibanRows, 76);

    auto row = [](const char *iso2) {
        for (const CountryRecord &record : ::countryTable)
            if (record.iso2 == QLatin1String(iso2))
                return record;
        return CountryRecord();
    };
    QCOMPARE(row("GR").altCode, QStringLiteral("EL"));
    QCOMPARE(row("GB").altCode, QStringLiteral("UK"));
    QCOMPARE(row("KO").altCode, QStringLiteral("XK"));
    QCOMPARE(row("KO").iso3, QStringLiteral("XKX"));
    QVERIFY(!row("KO").ibanCountry);
    QVERIFY(row("SV").ibanCountry);
    QVERIFY(!ibanLengthTable.contains(QStringLiteral("SV")));
}

QTEST_GUILESS_MAIN(TestEngineTables)
#include "tst_enginetables.moc"
