#include "DateConversion.h"
#include "FieldTypes.h"

#include <QTest>

#include <limits>

class TestDateConversion : public QObject
{
    Q_OBJECT

private slots:
    void lenientParsing();
    void variantToDateTime();
    void spreadsheetSerials_data();
    void spreadsheetSerials();
    void convertCellValue_data();
    void convertCellValue();
    void convertCellValueReadsOwnerAtEveryCall();
};

namespace {

QDateTime local(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}

} // namespace

void TestDateConversion::lenientParsing()
{
    const QCalendar &calendar = gregorianCalendar();
    const QString dateFormat = QStringLiteral("dd.MM.yyyy");
    QCOMPARE(parseDateLenient(QStringLiteral("01.02.2024"), dateFormat, calendar),
             QDate(2024, 2, 1));
    QCOMPARE(parseDateLenient(QStringLiteral("1.2.2024"), dateFormat, calendar), QDate(2024, 2, 1));
    QVERIFY(!parseDateLenient(QStringLiteral("31.02.2024"), dateFormat, calendar).isValid());
    QVERIFY(!parseDateLenient(QStringLiteral("1.2.2024"), QStringLiteral("yyyy-MM-dd"), calendar)
                 .isValid());

    const QString format = QStringLiteral("dd.MM.yyyy HH:mm:ss");
    QCOMPARE(parseDateTimeLenient(QStringLiteral("01.02.2024 08:05:03"), format, calendar),
             local(2024, 2, 1, 8, 5, 3));
    QCOMPARE(parseDateTimeLenient(QStringLiteral("1.2.2024 08:5:3"), format, calendar),
             local(2024, 2, 1, 8, 5, 3));
    QCOMPARE(parseDateTimeLenient(QStringLiteral("1.2.2024 8:5"),
                                  QStringLiteral("dd.MM.yyyy hh:mm"), calendar),
             local(2024, 2, 1, 8, 5));
    QVERIFY(!parseDateTimeLenient(QStringLiteral("nonsense"), format, calendar).isValid());
}

void TestDateConversion::variantToDateTime()
{
    QCOMPARE(::variantToDateTime(QDate(2024, 2, 29)), local(2024, 2, 29));
    QCOMPARE(::variantToDateTime(QTime(13, 14)), local(1899, 12, 30, 13, 14));
    const QDateTime utc(QDate(2024, 1, 1), QTime(1, 2), Qt::UTC);
    QCOMPARE(::variantToDateTime(utc), utc);
    QCOMPARE(::variantToDateTime(utc).timeSpec(), Qt::UTC);
    QVERIFY(!::variantToDateTime(QStringLiteral("2024-01-01")).isValid());
    QVERIFY(!::variantToDateTime(QVariant()).isValid());
}

void TestDateConversion::spreadsheetSerials_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("use1904");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("2023-03-15") << 45000.0 << false << local(2023, 3, 15);
    QTest::newRow("noon") << 45000.5 << false << local(2023, 3, 15, 12);
    QTest::newRow("milliseconds") << 45000.0 + 1.0 / 86400000 << false
                                  << local(2023, 3, 15, 0, 0, 0, 1);
    QTest::newRow("rounds up to next day") << 45000.9999999999 << false << local(2023, 3, 16);
    QTest::newRow("day 0 is a time") << 0.25 << false << local(1899, 12, 30, 6);
    QTest::newRow("1900-01-01") << 1.0 << false << local(1900, 1, 1);
    QTest::newRow("1900-02-28") << 59.0 << false << local(1900, 2, 28);
    QTest::newRow("1900-03-01") << 61.0 << false << local(1900, 3, 1);
    QTest::newRow("1904 day 0") << 0.0 << true << local(1904, 1, 1);
    QTest::newRow("1904 system") << 45000.0 << true << local(2027, 3, 16);
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false << QDateTime();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << QDateTime();
    QTest::newRow("beyond any calendar") << 1e300 << false << QDateTime();
}

void TestDateConversion::spreadsheetSerials()
{
    QFETCH(double, serial);
    QFETCH(bool, use1904);
    QFETCH(QDateTime, expected);
    const QDateTime result = spreadsheetSerialToDateTime(serial, use1904);
    QCOMPARE(result.isValid(), expected.isValid());
    if (expected.isValid()) {
        QCOMPARE(result, expected);
        QCOMPARE(result.timeSpec(), Qt::LocalTime);
    }
}

void TestDateConversion::convertCellValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("cellDateTime");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<bool>("iso");
    QTest::addColumn<bool>("use1904");
    QTest::addColumn<QDateTime>("expected");

    const QVariant none;
    const QVariant text = QStringLiteral("01.02.2024");
    QTest::newRow("date text") << text << none << 21 << false << false << local(2024, 2, 1);
    QTest::newRow("short date text") << QVariant(QStringLiteral("1.2.2024")) << none << 23 << false
                                     << false << local(2024, 2, 1);
    QTest::newRow("iso date text") << QVariant(QStringLiteral("2024-02-01")) << none << 21 << true
                                   << false << local(2024, 2, 1);
    QTest::newRow("iso text without iso setting")
        << QVariant(QStringLiteral("2024-02-01")) << none << 21 << false << false << QDateTime();
    QTest::newRow("serial text after the date format fails")
        << QVariant(QStringLiteral("45000")) << none << 21 << false << false << local(2023, 3, 15);
    QTest::newRow("date-time text") << QVariant(QStringLiteral("01.02.2024 13:14:15")) << none << 22
                                    << false << false << local(2024, 2, 1, 13, 14, 15);
    QTest::newRow("iso date-time with ms")
        << QVariant(QStringLiteral("2024-02-01T13:14:15.123")) << none << 24 << true << false
        << local(2024, 2, 1, 13, 14, 15, 123);
    QTest::newRow("iso date-time in UTC")
        << QVariant(QStringLiteral("2024-02-01T13:14:15Z")) << none << 22 << true << false
        << QDateTime(QDate(2024, 2, 1), QTime(13, 14, 15), Qt::UTC);
    QTest::newRow("date text for a date-time column")
        << text << none << 22 << false << false << QDateTime();
    QTest::newRow("not a date") << QVariant(QStringLiteral("abc")) << none << 21 << false << false
                                << QDateTime();
    QTest::newRow("infinity text")
        << QVariant(QStringLiteral("inf")) << none << 21 << false << false << QDateTime();
    QTest::newRow("number") << QVariant(45000.25) << none << 21 << false << false
                            << local(2023, 3, 15, 6);
    QTest::newRow("number in the 1904 system")
        << QVariant(45000) << none << 22 << false << true << local(2027, 3, 16);
    QTest::newRow("date cell wins over its number")
        << QVariant(45000) << QVariant(QDate(2020, 5, 6)) << 21 << false << false
        << local(2020, 5, 6);
    QTest::newRow("readable text wins over the cell")
        << text << QVariant(QDate(2020, 5, 6)) << 21 << false << false << local(2024, 2, 1);
    QTest::newRow("no value") << QVariant() << none << 21 << false << false << QDateTime();
}

void TestDateConversion::convertCellValue()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, cellDateTime);
    QFETCH(int, fieldType);
    QFETCH(bool, iso);
    QFETCH(bool, use1904);
    QFETCH(QDateTime, expected);

    DateTextSettings owner;
    owner.textToDateISO = iso;
    owner.textToDateTimeISO = iso;
    const QDateTime result = ::convertCellValue(owner, value, cellDateTime, fieldType, use1904);
    QCOMPARE(result.isValid(), expected.isValid());
    if (expected.isValid()) {
        QCOMPARE(result, expected);
        QCOMPARE(result.timeSpec(), expected.timeSpec());
    }
}

void TestDateConversion::convertCellValueReadsOwnerAtEveryCall()
{
    DateTextSettings owner;
    const QVariant text = QStringLiteral("2024/02/01");
    QVERIFY(!::convertCellValue(owner, text, {}, FieldTypeId::Date, false).isValid());
    owner.textToDateFmt = QStringLiteral("yyyy/MM/dd");
    QCOMPARE(::convertCellValue(owner, text, {}, FieldTypeId::Date, false), local(2024, 2, 1));
    // Without a format a text is only read as a serial number.
    owner.textToDateFmt.clear();
    QVERIFY(!::convertCellValue(owner, text, {}, FieldTypeId::Date, false).isValid());
    QCOMPARE(::convertCellValue(owner, QStringLiteral("2"), {}, FieldTypeId::Date, false),
             local(1900, 1, 2));
}

QTEST_GUILESS_MAIN(TestDateConversion)
#include "tst_dateconversion.moc"
