#include "DateConversion.h"

#include <QTest>

#include <ctime>
#include <limits>

using vondrel::DateTextSettings;
using vondrel::spreadsheetSerialToDateTime;

class TestDateConversion : public QObject
{
    Q_OBJECT

private slots:
    void convertCellValue_data();
    void convertCellValue();
    void wallClockInTheGap_data();
    void wallClockInTheGap();
    void midnightSkippedByTheZone();
    void serialsOutOfRange_data();
    void serialsOutOfRange();
};

namespace {

QDateTime local(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}

// Switches the process to another time zone for one test.
class TimeZoneGuard
{
public:
    explicit TimeZoneGuard(const QByteArray &zone)
        : m_wasSet(qEnvironmentVariableIsSet("TZ"))
        , m_saved(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneGuard()
    {
        if (m_wasSet)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_wasSet;
    QByteArray m_saved;
};

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

void TestDateConversion::wallClockInTheGap_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("iso");
    QTest::addColumn<QDateTime>("expected");
    // 31 March 2024 02:30 does not exist in Berlin: text and serial keep it alike, in UTC.
    const QDateTime gap(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    QTest::newRow("serial") << QVariant(45382.0 + 2.5 / 24) << false << gap;
    QTest::newRow("text") << QVariant(QStringLiteral("31.03.2024 02:30:00")) << false << gap;
    QTest::newRow("short text") << QVariant(QStringLiteral("31.3.2024 02:30:0")) << false << gap;
    QTest::newRow("iso text") << QVariant(QStringLiteral("2024-03-31T02:30:00")) << true << gap;
    QTest::newRow("iso text with ms")
        << QVariant(QStringLiteral("2024-03-31T02:30:00.250")) << true << gap.addMSecs(250);
    // Around the gap and in the autumn fold, local time stays local time.
    QTest::newRow("before the gap") << QVariant(QStringLiteral("31.03.2024 01:59:59")) << false
                                    << local(2024, 3, 31, 1, 59, 59);
    QTest::newRow("after the gap")
        << QVariant(QStringLiteral("31.03.2024 03:00:00")) << false << local(2024, 3, 31, 3);
    QTest::newRow("autumn fold text")
        << QVariant(QStringLiteral("27.10.2024 02:30:00")) << false << local(2024, 10, 27, 2, 30);
    QTest::newRow("autumn fold serial")
        << QVariant(45592.0 + 2.5 / 24) << false << local(2024, 10, 27, 2, 30);
}

void TestDateConversion::wallClockInTheGap()
{
    QFETCH(QVariant, value);
    QFETCH(bool, iso);
    QFETCH(QDateTime, expected);
    DateTextSettings owner;
    owner.textToDateTimeISO = iso;
    const QDateTime result = ::convertCellValue(owner, value, QVariant(), 22, false);
    QVERIFY(result.isValid());
    QCOMPARE(result, expected);
    QCOMPARE(result.timeSpec(), expected.timeSpec());
    QCOMPARE(result.date(), expected.date());
    QCOMPARE(result.time(), expected.time());
}

void TestDateConversion::midnightSkippedByTheZone()
{
    // Brazil moved its clocks from 00:00 to 01:00 on 4 November 2018: that day has no midnight.
    const TimeZoneGuard zone("America/Sao_Paulo");
    const QDateTime midnight(QDate(2018, 11, 4), QTime(0, 0), Qt::UTC);
    const DateTextSettings owner;
    QCOMPARE(::convertCellValue(owner, QStringLiteral("04.11.2018"), QVariant(), 21, false),
             midnight);
    QCOMPARE(::convertCellValue(owner, 43408, QVariant(), 21, false), midnight);
    QCOMPARE(variantToDateTime(QDate(2018, 11, 4)), midnight);
    QCOMPARE(variantToDateTime(QDate(2018, 11, 5)).timeSpec(), Qt::LocalTime);
}

void TestDateConversion::serialsOutOfRange_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("valid");
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false;
    QTest::newRow("+inf") << infinity << false;
    QTest::newRow("-inf") << -infinity << false;
    QTest::newRow("1e300") << 1e300 << false;
    QTest::newRow("-1e300") << -1e300 << false;
    QTest::newRow("just beyond the range") << 365.0e6 + 1 << false;
    QTest::newRow("edge of the range") << 365.0e6 << true;
    QTest::newRow("far before") << -365.0e6 << true;
    QTest::newRow("zero") << 0.0 << true;
}

void TestDateConversion::serialsOutOfRange()
{
    // Converting such a number to whole days would be undefined behaviour.
    QFETCH(double, serial);
    QFETCH(bool, valid);
    for (const bool use1904 : {false, true})
        QCOMPARE(spreadsheetSerialToDateTime(serial, use1904).isValid(), valid);
    QCOMPARE(::convertCellValue(DateTextSettings(), serial, QVariant(), 22, false).isValid(),
             valid);
}

QTEST_GUILESS_MAIN(TestDateConversion)
#include "tst_dateconversion.moc"
