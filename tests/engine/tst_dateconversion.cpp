#include "XlsxFixture.h"

#include <engine/CellValue.h>
#include <engine/DateConversion.h>
#include <xlsx/Cell.h>
#include <xlsx/Document.h>

#include <QScopeGuard>
#include <QTest>

#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;
using vondrel::DateTextSettings;
using vondrel::spreadsheetSerialToDateTime;

class TestDateConversion : public QObject
{
    Q_OBJECT

private slots:
    void convertCellValue_data();
    void convertCellValue();
    void midnightSkippedByTheZone();
    void serialsOutOfRange_data();
    void serialsOutOfRange();
    void workbookCells_data();
    void workbookCells();
};

namespace {

QDateTime local(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}

void addRow(const char *name, const QVariant &value, int type, const QDateTime &expected,
            bool iso = false, bool use1904 = false, const QVariant &cellDateTime = QVariant())
{
    QTest::newRow(name) << value << cellDateTime << type << iso << use1904 << expected;
}

// Style 1 shows a date, style 2 a date and time; style 0 is a plain number.
const QByteArray Styles = R"(
<cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="22"/></cellXfs>)";

// Row 1: a date cell, a date-time cell, a plain number, a date as text, a time-only date cell,
// then 31 March 2024 02:30 (skipped by Berlin's clocks) as a date-time cell. Cells are missing
// from G1 on.
const QByteArray SheetData = R"(<row r="1">
    <c r="A1" s="1"><v>45657</v></c>
    <c r="B1" s="2"><v>45657.5</v></c>
    <c r="C1"><v>45000</v></c>
    <c r="D1" t="inlineStr"><is><t>31.12.2024</t></is></c>
    <c r="E1" s="1"><v>0.25</v></c>
    <c r="F1" s="2"><v>45382.104166666664</v></c>
</row>)";

} // namespace

void TestDateConversion::convertCellValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("cellDateTime");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<bool>("iso");
    QTest::addColumn<bool>("use1904");
    QTest::addColumn<QDateTime>("expected");
    addRow("date text", u"01.02.2024"_s, 21, local(2024, 2, 1));
    addRow("short date text", u"1.2.2024"_s, 21, local(2024, 2, 1));
    addRow("no such day", u"31.02.2024"_s, 21, QDateTime());
    addRow("short date-time text", u"1.2.2024 08:5:3"_s, 22, local(2024, 2, 1, 8, 5, 3));
    addRow("iso date text", u"2024-02-01"_s, 23, local(2024, 2, 1), true);
    addRow("serial text after the format fails", u"45000"_s, 21, local(2023, 3, 15));
    addRow("iso date-time with ms", u"2024-02-01T13:14:15.123"_s, 24,
           local(2024, 2, 1, 13, 14, 15, 123), true);
    addRow("date text in a date-time column", u"01.02.2024"_s, 22, QDateTime());
    addRow("infinity is no serial", u"inf"_s, 21, QDateTime());
    addRow("serial with time", 45000.25, 22, local(2023, 3, 15, 6));
    addRow("serial rounding to midnight", 45000.9999999999, 22, local(2023, 3, 16));
    addRow("before March 1900", 59, 21, local(1900, 2, 28));
    addRow("1904 system", 45000, 21, local(2027, 3, 16), false, true);
    addRow("date cell wins over its number", 45000, 21, local(2020, 5, 6), false, false,
           QDate(2020, 5, 6));
    addRow("time cell", 0.5, 22, local(1899, 12, 30, 12), false, false, QTime(12, 0));
    // 31 March 2024 02:30 does not exist in Berlin: text and serial keep it alike, in UTC.
    const QDateTime gap(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    addRow("gap serial", 45382.0 + 2.5 / 24, 22, gap);
    addRow("gap text", u"31.03.2024 02:30:00"_s, 22, gap);
    addRow("gap short text", u"31.3.2024 02:30:0"_s, 22, gap);
    addRow("gap iso text", u"2024-03-31T02:30:00"_s, 22, gap, true);
    addRow("gap iso text with ms", u"2024-03-31T02:30:00.250"_s, 22, gap.addMSecs(250), true);
    // Around the gap and in the autumn fold, local time stays local time.
    addRow("before the gap", u"31.03.2024 01:59:59"_s, 22, local(2024, 3, 31, 1, 59, 59));
    addRow("after the gap", u"31.03.2024 03:00:00"_s, 22, local(2024, 3, 31, 3));
    addRow("autumn fold text", u"27.10.2024 02:30:00"_s, 22, local(2024, 10, 27, 2, 30));
    addRow("autumn fold serial", 45592.0 + 2.5 / 24, 22, local(2024, 10, 27, 2, 30));
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
    QCOMPARE(result, expected);
    QCOMPARE(result.timeSpec(), expected.timeSpec());
}

void TestDateConversion::midnightSkippedByTheZone()
{
    // Brazil moved its clocks from 00:00 to 01:00 on 4 November 2018: that day has no midnight.
    const bool wasSet = qEnvironmentVariableIsSet("TZ");
    const QByteArray savedZone = qgetenv("TZ");
    const auto restoreZone = qScopeGuard([&] {
        wasSet ? qputenv("TZ", savedZone) : qunsetenv("TZ");
        tzset();
    });
    qputenv("TZ", "America/Sao_Paulo");
    tzset();
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

void TestDateConversion::workbookCells_data()
{
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime newYearsEve = local(2024, 12, 31);
    QTest::newRow("date cell") << false << 1 << 21 << newYearsEve;
    QTest::newRow("date-time cell") << false << 2 << 22 << local(2024, 12, 31, 12);
    QTest::newRow("plain number is a serial") << false << 3 << 21 << local(2023, 3, 15);
    QTest::newRow("text read by the settings") << false << 4 << 23 << newYearsEve;
    QTest::newRow("time-only cell") << false << 5 << 22 << local(1899, 12, 30, 6);
    QTest::newRow("date-time cell in the gap")
        << false << 6 << 22 << QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    QTest::newRow("missing cell") << false << 7 << 21 << QDateTime();
    // In the 1904 system the same serial numbers name dates four years and a day later.
    QTest::newRow("1904 date cell") << true << 1 << 21 << local(2029, 1, 1);
    QTest::newRow("1904 text") << true << 4 << 21 << newYearsEve;
}

void TestDateConversion::workbookCells()
{
    QFETCH(bool, date1904);
    QFETCH(int, column);
    QFETCH(int, fieldType);
    QFETCH(QDateTime, expected);
    const auto document = XlsxFixture::load(XlsxFixture::workbook(
        {{u"Daten"_s, XlsxFixture::sheetXml(SheetData)}}, {}, Styles, date1904));
    QCOMPARE(document->errorString(), QString());
    const QDateTime value =
        cellValue(DateTextSettings(), *document, 1, column, fieldType, date1904);
    QCOMPARE(value, expected);
    QCOMPARE(value.timeSpec(), expected.timeSpec());
}

QTEST_GUILESS_MAIN(TestDateConversion)
#include "tst_dateconversion.moc"
