#include "AppTest.h"
#include "RunFixture.h"
#include "XlsxFixture.h"

#include <run/ProcessingRun.h>
#include <script/ScriptStep.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>

#include <QTest>

#include <memory>

using namespace RunFixture;

// The user's script inside a processing run: what it sees, what it changes in the output and
// how its failures reach the user.
class TestScriptStep : public AppTest
{
    Q_OBJECT

private slots:
    void scriptCaption_data();
    void scriptCaption();
    void scriptFillsAnInsertedCsvColumn();
    void scriptFillsAnInsertedSheetColumn();
    void failingScriptKeepsEarlierChanges_data();
    void failingScriptKeepsEarlierChanges();
    void unreadableScript();

private:
    RunSettings csvRunSettings(const QByteArray &script) const;
    ScriptStep::Setup setup(const RunSettings &settings, const QStringList &ids,
                            const QStringList &itemTexts) const;
};

RunSettings TestScriptStep::csvRunSettings(const QByteArray &script) const
{
    RunSettings s = csvSettings(path("in.csv"), path("out.csv"));
    s.useScript = true;
    s.scriptFileName = writeFile("skript.js", script);
    return s;
}

ScriptStep::Setup TestScriptStep::setup(const RunSettings &settings, const QStringList &ids,
                                        const QStringList &itemTexts) const
{
    ScriptStep::Setup setup;
    setup.scriptFileName = settings.scriptFileName;
    setup.columnIds = ids;
    setup.columnItemTexts = itemTexts;
    setup.dateText = settings.dateText;
    setup.protectedFiles = {settings.inputFileName, settings.loadedFileName,
                            settings.exportFileName, settings.scriptFileName, path("vondrel.opt")};
    return setup;
}

void TestScriptStep::scriptCaption_data()
{
    QTest::addColumn<QString>("itemText");
    QTest::addColumn<bool>("hasTitle");
    QTest::addColumn<QString>("caption");

    QTest::newRow("title") << "2 [Ort]" << true << "Ort";
    QTest::newRow("title with brackets") << "3 [Preis [EUR]]" << true << "Preis [EUR]";
    QTest::newRow("title with a closing bracket") << "A [a]b]" << true << "a]b";
    QTest::newRow("empty title") << "1 []" << true << "";
    QTest::newRow("no title part") << "1" << true << "";
    QTest::newRow("no closing bracket") << "1 [Ort" << true << "";
    QTest::newRow("without title row") << "1" << false << "1";
}

void TestScriptStep::scriptCaption()
{
    QFETCH(QString, itemText);
    QFETCH(bool, hasTitle);
    QFETCH(QString, caption);
    QCOMPARE(ScriptStep::scriptCaption(itemText, hasTitle), caption);
}

void TestScriptStep::scriptFillsAnInsertedCsvColumn()
{
    RunSettings s = csvRunSettings(R"(
        var sheet = DataSheetObject;
        var column = sheet.insertColumn("Länge [Zeichen]");
        for (var row = 0; row < sheet.numRows(); ++row)
            sheet.setText(row, column, String(sheet.getText(row, "ort [alt]", true).length));
        sheet.setText(0, "1", sheet.colName(0) + "/" + sheet.numCols() + "/" + Qt.EditRole);
    )");
    s.templates = {{1, QStringLiteral("<NUM>")}};
    QxtCsvModel model;
    ProcessingRun run(s, csvInput(s, "Name;Ort [alt]\nAnna;Berlin\nBert;Köln\n", model));
    run.setScriptStep(ScriptStep(setup(s, {"1", "2"}, {"1 [Name]", "2 [Ort [alt]]"})));
    const RunResult result = run.exec();
    QVERIFY2(result.success, qPrintable(result.messageText));
    // The script sees the pseudonymised column; the input model stays as it was.
    QCOMPARE(readFile(path("out.csv")),
             QByteArray("\"Name\";\"Ort [alt]\";\"Länge [Zeichen]\"\n"
                        "\"Name/3/2\";\"1\";\"1\"\n"
                        "\"Bert\";\"2\";\"1\"\n"));
    QCOMPARE(model.columnCount(), 2);
}

void TestScriptStep::scriptFillsAnInsertedSheetColumn()
{
    auto document = newWorkbook();
    writeRows(*document,
              {{QStringLiteral("Name"), QStringLiteral("Geboren")},
               {QStringLiteral("Anna"), QDate(1990, 5, 17)},
               {QStringLiteral("Bert"), QStringLiteral("2000/02/01")}});
    const QByteArray bytes = readFile(saveWorkbook("in.xlsx", *document));
    auto input = XlsxFixture::load(bytes);

    RunSettings s = csvRunSettings(R"(
        var sheet = DataSheetObject;
        var column = sheet.insertColumn("Jahr");
        for (var row = 0; row < sheet.numRows(); ++row)
            sheet.setInt(row, column, sheet.getDate(row, "B").getUTCFullYear());
    )");
    s.inputFileName = s.loadedFileName = path("in.xlsx");
    s.exportFileName = path("out.xlsx");
    // A date held as text is read in the user's format.
    s.dateText.textToDateFmt = QStringLiteral("yyyy/MM/dd");
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = input.get();
    runInput.rawInput = bytes;
    ProcessingRun run(s, runInput);
    run.setScriptStep(ScriptStep(setup(s, {"A", "B"}, {"A [Name]", "B [Geboren]"})));
    const RunResult result = run.exec();
    QVERIFY2(result.success, qPrintable(result.messageText));

    QFile file(path("out.xlsx"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXlsx::Document output(&file);
    QCOMPARE(output.read(1, 3), QVariant(QStringLiteral("Jahr")));
    QCOMPARE(output.read(2, 3).toInt(), 1990);
    QCOMPARE(output.read(3, 3).toInt(), 2000);
}

void TestScriptStep::failingScriptKeepsEarlierChanges_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("message");

    QTest::newRow("error object") << QByteArray("DataSheetObject.setText(0, 0, 'vorher');\n"
                                                "throw new Error('kaputt');\n"
                                                "DataSheetObject.setText(0, 0, 'nachher');\n")
                                  << "Scriptfehler:|Error: kaputt\r\nZeile 2";
    QTest::newRow("thrown text") << QByteArray("DataSheetObject.setText(0, 0, 'vorher');\n"
                                               "\n"
                                               "throw 'kaputt';\n")
                                 << "Scriptfehler:|kaputt\r\nZeile 3";
    QTest::newRow("unknown name") << QByteArray("DataSheetObject.setText(0, 0, 'vorher');\n"
                                                "gibtsnicht(1);\n")
                                  << "Scriptfehler:|ReferenceError: gibtsnicht is not "
                                     "defined\r\nZeile 2";
    QTest::newRow("no such method") << QByteArray("DataSheetObject.setText(0, 0, 'vorher');\n"
                                                  "DataSheetObject.gibtsnicht();\n")
                                    << "Scriptfehler:|TypeError: Property 'gibtsnicht' of object "
                                       "DataSheetObject is not a function\r\nZeile 2";
}

void TestScriptStep::failingScriptKeepsEarlierChanges()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, message);

    const auto runScript = [this](const QByteArray &program) {
        RunSettings s = csvRunSettings(program);
        QxtCsvModel model;
        ProcessingRun run(s, csvInput(s, "Name\nAnna\n", model));
        run.setScriptStep(ScriptStep(setup(s, {"1"}, {"1 [Name]"})));
        return run.exec().success;
    };
    QVERIFY(runScript(script));
    QCOMPARE(takePrompts(), QStringList({message}));
    QCOMPARE(readFile(path("out.csv")), QByteArray("\"Name\"\n\"vorher\"\n"));

    // A script that cannot even be parsed changes nothing.
    QVERIFY(runScript("DataSheetObject.setText(0, 0, 'x'\n"));
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY2(m_prompts.first().startsWith(QLatin1String("Scriptfehler:|SyntaxError: ")),
             qPrintable(m_prompts.first()));
    QVERIFY2(m_prompts.first().endsWith(QLatin1String("\r\nZeile 2")),
             qPrintable(m_prompts.first()));
    m_prompts.clear();
    QCOMPARE(readFile(path("out.csv")), QByteArray("\"Name\"\n\"Anna\"\n"));
}

void TestScriptStep::unreadableScript()
{
    const RunSettings s = csvRunSettings("");
    QxtCsvModel model;
    csvInput(s, "Name\nAnna\n", model);
    ScriptStep::Setup missing = setup(s, {"1"}, {"1 [Name]"});
    missing.scriptFileName = path("fehlt.js");
    ScriptTarget target;
    target.model = &model;
    target.firstRow = 1;
    const ScriptStep step(missing);
    step(target);
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY(m_prompts.first().startsWith(
        QStringLiteral("Fehler:|Die Scriptdatei konnte nicht geladen werden:\r\n")));
    m_prompts.clear();
    QCOMPARE(model.text(1, 0), QStringLiteral("Anna"));
}

QTEST_MAIN(TestScriptStep)
#include "tst_scriptstep.moc"
