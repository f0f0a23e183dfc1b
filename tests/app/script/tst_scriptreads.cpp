#include "AppTest.h"
#include "RunFixture.h"

#include <script/DataSheetObject.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/Document.h>

#include <QTest>

#include <limits>

// Valid text cells as a script reads them into typed values, from a text table and from a
// sheet: the whole value, nothing cut or rounded.
class TestScriptReads : public AppTest
{
    Q_OBJECT

private slots:
    void textAsDateTime_data();
    void textAsDateTime();
    void textAsInt64_data();
    void textAsInt64();

private:
    // The object over a one-column table whose only data cell holds text; a sheet when
    // workbook is set.
    void bind(DataSheetObject &sheet, const QString &text, bool workbook);

    QxtCsvModel m_csv;
    std::unique_ptr<QXlsx::Document> m_document;
    std::unique_ptr<QXlsx::SheetModel> m_sheetModel;
};

void TestScriptReads::bind(DataSheetObject &sheet, const QString &text, bool workbook)
{
    const QStringList ids {workbook ? QStringLiteral("A") : QStringLiteral("1")};
    const QStringList captions {QStringLiteral("Wert")};
    if (!workbook) {
        RunFixture::loadCsv(m_csv, "Wert\n" + text.toUtf8() + '\n',
                            RunFixture::csvSettings(QString(), QString()));
        sheet.init(&m_csv, ids, captions, 1, -1, true, false);
        return;
    }
    m_document = newWorkbook();
    writeRows(*m_document, {{QStringLiteral("Wert")}, {text}});
    m_sheetModel = std::make_unique<QXlsx::SheetModel>(m_document->currentWorksheet());
    sheet.init(m_sheetModel.get(), ids, captions, 1, -1, true, false);
    sheet.setWorkbook(m_document.get());
}

void TestScriptReads::textAsDateTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("workbook");
    QTest::addColumn<QDateTime>("expected");

    const QDateTime lastAfternoon(QDate(2024, 12, 31), QTime(14, 30));
    const QDateTime leapNight(QDate(2024, 2, 29), QTime(23, 59, 59));
    QTest::newRow("text table") << "31.12.2024 14:30:00" << false << lastAfternoon;
    QTest::newRow("sheet") << "31.12.2024 14:30:00" << true << lastAfternoon;
    QTest::newRow("leap day, last second") << "29.02.2024 23:59:59" << false << leapNight;
}

void TestScriptReads::textAsDateTime()
{
    QFETCH(QString, text);
    QFETCH(bool, workbook);
    QFETCH(QDateTime, expected);

    DataSheetObject sheet;
    bind(sheet, text, workbook);
    QCOMPARE(sheet.getDateTime(0, 0), expected);
}

void TestScriptReads::textAsInt64_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("workbook");
    QTest::addColumn<qlonglong>("expected");

    constexpr qlonglong longMax = std::numeric_limits<qlonglong>::max();
    constexpr qlonglong longMin = std::numeric_limits<qlonglong>::min();
    QTest::newRow("largest") << "9223372036854775807" << false << longMax;
    QTest::newRow("largest in a sheet") << "9223372036854775807" << true << longMax;
    QTest::newRow("smallest") << "-9223372036854775808" << false << longMin;
    QTest::newRow("one past 2^53") << "9007199254740993" << false << 9007199254740993LL;
}

void TestScriptReads::textAsInt64()
{
    QFETCH(QString, text);
    QFETCH(bool, workbook);
    QFETCH(qlonglong, expected);

    DataSheetObject sheet;
    bind(sheet, text, workbook);
    QCOMPARE(sheet.getInt64(0, 0), expected);
}

QTEST_MAIN(TestScriptReads)
#include "tst_scriptreads.moc"
