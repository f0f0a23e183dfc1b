#include "CellValue.h"

#include "Cell.h"
#include "Document.h"
#include "XlsxFixture.h"

#include <QTest>

using vondrel::DateTextSettings;

namespace {

// Style 1 shows a date, style 2 a date and time; style 0 is a plain number.
const QByteArray Styles = R"(
<cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="22"/></cellXfs>)";

// Row 1: a date cell, a date-time cell, a plain number, a date as text, a time-only date cell,
// a text that is no date, then 31 March 2024 02:30 (skipped by Berlin's clocks) as a date-time
// cell and as text. Cells are missing from I1 on.
const QByteArray SheetData = R"(<row r="1">
    <c r="A1" s="1"><v>45657</v></c>
    <c r="B1" s="2"><v>45657.5</v></c>
    <c r="C1"><v>45000</v></c>
    <c r="D1" t="inlineStr"><is><t>31.12.2024</t></is></c>
    <c r="E1" s="1"><v>0.25</v></c>
    <c r="F1" t="inlineStr"><is><t>kein Datum</t></is></c>
    <c r="G1" s="2"><v>45382.104166666664</v></c>
    <c r="H1" t="inlineStr"><is><t>31.03.2024 02:30:00</t></is></c>
</row>)";

std::unique_ptr<QXlsx::Document> workbook(bool date1904)
{
    return XlsxFixture::load(XlsxFixture::workbook(
        {{QStringLiteral("Daten"), XlsxFixture::sheetXml(SheetData)}}, {}, Styles, date1904));
}

} // namespace

class TestCellValue : public QObject
{
    Q_OBJECT

private slots:
    void workbookCells_data();
    void workbookCells();
};

void TestCellValue::workbookCells_data()
{
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<QDateTime>("expected");

    const QDateTime newYearsEve(QDate(2024, 12, 31), QTime(0, 0));
    QTest::newRow("date cell") << false << 1 << 21 << newYearsEve;
    QTest::newRow("date-time cell")
        << false << 2 << 22 << QDateTime(QDate(2024, 12, 31), QTime(12, 0));
    QTest::newRow("plain number is a serial")
        << false << 3 << 21 << QDateTime(QDate(2023, 3, 15), QTime(0, 0));
    QTest::newRow("text read by the settings") << false << 4 << 23 << newYearsEve;
    QTest::newRow("time-only cell")
        << false << 5 << 22 << QDateTime(QDate(1899, 12, 30), QTime(6, 0));
    QTest::newRow("text that is no date") << false << 6 << 21 << QDateTime();
    // Both inputs keep the wall-clock time that the local zone does not have.
    const QDateTime gap(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    QTest::newRow("date-time cell in the gap") << false << 7 << 22 << gap;
    QTest::newRow("text in the gap") << false << 8 << 22 << gap;
    QTest::newRow("missing cell") << false << 9 << 21 << QDateTime();
    // In the 1904 system the same serial numbers name dates four years and a day later.
    QTest::newRow("1904 date cell") << true << 1 << 21 << QDateTime(QDate(2029, 1, 1), QTime(0, 0));
    QTest::newRow("1904 plain number")
        << true << 3 << 21 << QDateTime(QDate(2027, 3, 16), QTime(0, 0));
    QTest::newRow("1904 text") << true << 4 << 21 << newYearsEve;
}

void TestCellValue::workbookCells()
{
    QFETCH(bool, date1904);
    QFETCH(int, column);
    QFETCH(int, fieldType);
    QFETCH(QDateTime, expected);

    const auto document = workbook(date1904);
    QCOMPARE(document->errorString(), QString());
    const DateTextSettings settings;
    const QDateTime value = cellValue(settings, *document, 1, column, fieldType, date1904);
    QCOMPARE(value, expected);
    QCOMPARE(value.timeSpec(), expected.timeSpec());
}

QTEST_GUILESS_MAIN(TestCellValue)
#include "tst_cellvalue.moc"
