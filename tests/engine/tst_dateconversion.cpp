#include "DateConversion.h"

#include <QTest>

#include <limits>

class TestDateConversion : public QObject
{
    Q_OBJECT

private slots:
    void convertCellValue_data();
    void convertCellValue();
};

namespace {

QDateTime local(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}

} // namespace

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
    QTest::newRow("short date text") << QVariant(QStringLiteral("1.2.2024")) << none << 21 << false
                                     << false << local(2024, 2, 1);
    QTest::newRow("no such day") << QVariant(QStringLiteral("31.02.2024")) << none << 21 << false
                                 << false << QDateTime();
    QTest::newRow("short date-time text") << QVariant(QStringLiteral("1.2.2024 08:5:3")) << none
                                          << 22 << false << false << local(2024, 2, 1, 8, 5, 3);
    QTest::newRow("iso date text") << QVariant(QStringLiteral("2024-02-01")) << none << 23 << true
                                   << false << local(2024, 2, 1);
    QTest::newRow("serial text after the format fails")
        << QVariant(QStringLiteral("45000")) << none << 21 << false << false << local(2023, 3, 15);
    QTest::newRow("iso date-time with ms")
        << QVariant(QStringLiteral("2024-02-01T13:14:15.123")) << none << 24 << true << false
        << local(2024, 2, 1, 13, 14, 15, 123);
    QTest::newRow("date text in a date-time column")
        << text << none << 22 << false << false << QDateTime();
    QTest::newRow("infinity is no serial")
        << QVariant(QStringLiteral("inf")) << none << 21 << false << false << QDateTime();
    QTest::newRow("serial with time")
        << QVariant(45000.25) << none << 22 << false << false << local(2023, 3, 15, 6);
    QTest::newRow("serial rounding to midnight")
        << QVariant(45000.9999999999) << none << 22 << false << false << local(2023, 3, 16);
    QTest::newRow("before March 1900")
        << QVariant(59) << none << 21 << false << false << local(1900, 2, 28);
    QTest::newRow("1904 system") << QVariant(45000) << none << 21 << false << true
                                 << local(2027, 3, 16);
    // 31 March 2024 02:30 does not exist in Berlin; the value must survive.
    QTest::newRow("serial in the daylight-saving gap")
        << QVariant(45382.0 + 2.5 / 24) << none << 22 << false << false
        << QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    QTest::newRow("beyond any calendar")
        << QVariant(1e300) << none << 21 << false << false << QDateTime();
    QTest::newRow("date cell wins over its number")
        << QVariant(45000) << QVariant(QDate(2020, 5, 6)) << 21 << false << false
        << local(2020, 5, 6);
    QTest::newRow("time cell") << QVariant(0.5) << QVariant(QTime(12, 0)) << 22 << false << false
                               << local(1899, 12, 30, 12);
}

void TestDateConversion::convertCellValue()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, cellDateTime);
    QFETCH(int, fieldType);
    QFETCH(bool, iso);
    QFETCH(bool, use1904);
    DateTextSettings owner;
    owner.textToDateISO = iso;
    owner.textToDateTimeISO = iso;
    QTEST(::convertCellValue(owner, value, cellDateTime, fieldType, use1904), "expected");
}

QTEST_GUILESS_MAIN(TestDateConversion)
#include "tst_dateconversion.moc"
