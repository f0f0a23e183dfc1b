#include "AppTest.h"
#include "RunFixture.h"

#include <run/ProcessingRun.h>
#include <tables/QxtCsvModel.h>

#include <QRegularExpression>
#include <QTest>

using namespace RunFixture;

// Outputs longer than one block of records: the output file and the mapping file are written
// in blocks, on one thread or several, and each record must come out once, in order.
class TestCsvBlocks : public AppTest
{
    Q_OBJECT

private slots:
    void everyRecordOnceAfterTheLinesAbove_data();
    void everyRecordOnceAfterTheLinesAbove();
};

void TestCsvBlocks::everyRecordOnceAfterTheLinesAbove_data()
{
    QTest::addColumn<int>("quoteMode");
    QTest::addColumn<int>("threads");
    QTest::addColumn<QByteArray>("quote");

    // Fields written bare go through the blocks of the guarding writer.
    QTest::newRow("bare, one thread") << 0 << 1 << QByteArray();
    QTest::newRow("bare, four threads") << 0 << 4 << QByteArray();
    QTest::newRow("quoted, four threads") << writeMode << 4 << QByteArray("\"");
}

void TestCsvBlocks::everyRecordOnceAfterTheLinesAbove()
{
    QFETCH(int, quoteMode);
    QFETCH(int, threads);
    QFETCH(QByteArray, quote);

    const int rows = 5000;
    const auto field = [&quote](const QByteArray &text) {
        return quote + text + quote;
    };
    QByteArray input = "# Kopf\nName;Nr\n";
    QByteArray output = "# Kopf\n" + field("Name") + ';' + field("Nr") + '\n';
    QByteArray mapping = field("2 [Nr]") + ';' + field("2 [Nr][neu]") + '\n';
    for (int row = 0; row < rows; ++row) {
        const QByteArray number = QByteArray::number(row);
        input += 'n' + number + ';' + number + '\n';
        output += field('n' + number) + ';' + field(number) + '\n';
        mapping += field(number) + ';' + field(number) + '\n';
    }

    RunSettings settings = csvSettings(path("ein.csv"), path("aus.csv"));
    settings.rowOffset = 2;
    settings.writeQuoteMode = quoteMode;
    settings.createMappingFile = true;
    settings.columnCaptions = QStringList({"1 [Name]", "2 [Nr]"});
    // Integers at factor 1 stay as they are, so every line shows where it came from.
    settings.templates = {{1, QStringLiteral("<INTEGER>")}};
    QxtCsvModel model;
    const RunResult result = runCsv(settings, input, model, threads);

    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.writtenFiles.size(), 2);
    QCOMPARE(readFile(path("aus.csv")), output);
    const QStringList maps =
        result.writtenFiles.filter(QRegularExpression(QStringLiteral("/vondrel_map_[^/]*$")));
    QCOMPARE(maps.size(), 1);
    QCOMPARE(readFile(maps.first()), mapping);
}

QTEST_GUILESS_MAIN(TestCsvBlocks)
#include "tst_csvblocks.moc"
