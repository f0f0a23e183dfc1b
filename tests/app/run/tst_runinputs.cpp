#include "AppTest.h"
#include "RunFixture.h"
#include "XlsxFixture.h"

#include <run/ProcessingRun.h>
#include <tables/QxtCsvModel.h>
#include <xlsx/Document.h>

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace RunFixture;

// What the window hands to a run when its input is not what the input field says: the run
// refuses before it writes anything, and says why. And where a sheet's table begins.
class TestRunInputs : public AppTest
{
    Q_OBJECT

private slots:
    void refusedInputsSayWhy_data();
    void refusedInputsSayWhy();
    void sheetStartBelowOneIsTheFirstRow_data();
    void sheetStartBelowOneIsTheFirstRow();

private:
    // A workbook of one sheet "Daten" holding rows from its first cell on.
    static QByteArray workbookBytes(const QList<QVariantList> &rows);
};

QByteArray TestRunInputs::workbookBytes(const QList<QVariantList> &rows)
{
    auto document = newWorkbook();
    writeRows(*document, rows);
    QBuffer buffer;
    if (!document->saveAs(&buffer))
        qFatal("Cannot save the test workbook");
    return buffer.data();
}

void TestRunInputs::refusedInputsSayWhy_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");

    // A text table is held while the field names a workbook that was never loaded.
    QTest::newRow("workbook named, none held") << "none held"
                                               << "Es liegen noch keine Daten vor.";
    // The workbook's bytes no longer give the sheet that was shown: its copy has another
    // shape, and cells past the shown ones would leave the run unchanged.
    QTest::newRow("workbook copy of another shape")
        << "other shape"
        << "Die Daten wurden nicht vollständig geladen. Bitte die Eingabedatei neu laden.";
}

void TestRunInputs::refusedInputsSayWhy()
{
    QFETCH(QString, input);
    QFETCH(QString, text);

    const QList<QVariantList> rows = {{QStringLiteral("Name")}, {QStringLiteral("Anna")}};
    const QByteArray shown = workbookBytes(rows);
    writeFile("ein.xlsx", shown);
    QxtCsvModel table;
    loadCsv(table, "Name\nAnna\n", csvSettings(path("ein.csv"), path("aus.xlsx")));
    const auto document = XlsxFixture::load(shown);
    document->selectSheet(QStringLiteral("Daten"));

    RunSettings settings = csvSettings(path("ein.xlsx"), path("aus.xlsx"));
    settings.templates = {{0, QStringLiteral("<NAME>")}};
    RunInput runInput;
    runInput.isXlsx = true;
    if (input == QLatin1String("none held")) {
        runInput.csvModel = &table;
        runInput.rawInput = "Name\nAnna\n";
    } else {
        runInput.document = document.get();
        runInput.rawInput = workbookBytes(rows + QList<QVariantList>({{QStringLiteral("Ben")}}));
    }
    const RunResult result = ProcessingRun(settings, runInput).exec();

    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
    QCOMPARE(result.messageText, text);
    QVERIFY(result.writtenFiles.isEmpty());
    QVERIFY(!QFile::exists(path("aus.xlsx")));
}

void TestRunInputs::sheetStartBelowOneIsTheFirstRow_data()
{
    QTest::addColumn<int>("rowOffset");
    QTest::newRow("1") << 1;
    QTest::newRow("0") << 0;
    QTest::newRow("-3") << -3;
}

void TestRunInputs::sheetStartBelowOneIsTheFirstRow()
{
    QFETCH(int, rowOffset);

    const QByteArray bytes = workbookBytes(
        {{QStringLiteral("Name")}, {QStringLiteral("Anna")}, {QStringLiteral("Ben")}});
    writeFile("ein.xlsx", bytes);
    const auto document = XlsxFixture::load(bytes);
    document->selectSheet(QStringLiteral("Daten"));
    RunSettings settings = csvSettings(path("ein.xlsx"), path("aus.xlsx"));
    settings.rowOffset = rowOffset;
    settings.templates = {{0, QStringLiteral("<NUM>")}};
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = document.get();
    runInput.rawInput = bytes;
    const RunResult result = ProcessingRun(settings, runInput).exec();

    QVERIFY2(result.success, qPrintable(result.messageText));
    const auto output = XlsxFixture::load(readFile(path("aus.xlsx")));
    QCOMPARE(output->read(1, 1), QVariant(QStringLiteral("Name")));
    QCOMPARE(output->read(2, 1), QVariant(1.0));
    QCOMPARE(output->read(3, 1), QVariant(2.0));
}

QTEST_GUILESS_MAIN(TestRunInputs)
#include "tst_runinputs.moc"
