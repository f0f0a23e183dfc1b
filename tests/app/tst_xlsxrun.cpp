#include "Cell.h"
#include "Document.h"
#include "ProcessingRun.h"
#include "Pseudonymizer.h"
#include "QxtCsvModel.h"
#include "RunFixture.h"
#include "RunInput.h"
#include "ScriptTarget.h"
#include "SheetModel.h"
#include "Worksheet.h"
#include "XlsxFixture.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace RunFixture;
using namespace QXlsx;

namespace {

const QString created = QStringLiteral("Die Ausgabedatei wurde erstellt.");

Format numberFormat(const QString &code)
{
    Format format;
    format.setNumberFormat(code);
    return format;
}

// A cell to write into the input sheet.
struct InputCell
{
    QVariant value;
    QString format;
};

// Cell values and formats as written back.
struct OutputCell
{
    QVariant value; // as read(): dates as QDate/QDateTime, formulas with "="
    QString format;
    bool exists = false;
};

} // namespace

Q_DECLARE_METATYPE(InputCell)

class TestXlsxRun : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void writesResultsByType_data();
    void writesResultsByType();
    void leavesRowsAboveAndOtherSheetsAlone();
    void mappingFileIsCsvInSheetRows();
    void blankEditReachesTheOutput();
    void editedWorkbookIsCopied();
    void refusedWriteStopsTheRun();
    void scriptStepWorksOnTheOutput();
    void refusesACsvName();
    void openpyxlReadsTheOutput();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    RunSettings settings() const;
    // Saves document as the input file; its bytes.
    QByteArray saveInput(Document &document);
    // Saves document as the input file, reloads it as the loader does and runs.
    RunResult run(const RunSettings &settings, Document &document);
    RunResult run(const RunSettings &settings, Document &input, const QByteArray &bytes);
    OutputCell outputCell(int row, int column, const QString &sheet = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Document> m_input;
};

void TestXlsxRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

RunSettings TestXlsxRun::settings() const
{
    RunSettings s = csvSettings(path("in.xlsx"), path("out.xlsx"));
    s.inputEditable = false;
    return s;
}

// A workbook with the sheets "Daten" (selected) and "Andere".
std::unique_ptr<Document> newWorkbook()
{
    auto document = XlsxFixture::load(
        XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml({})},
                               {QStringLiteral("Andere"), XlsxFixture::sheetXml({})}}));
    document->selectSheet(QStringLiteral("Daten"));
    return document;
}

QByteArray TestXlsxRun::saveInput(Document &document)
{
    QBuffer buffer;
    if (!document.saveAs(&buffer))
        qFatal("Cannot save the test workbook");
    writeFile(path("in.xlsx"), buffer.data());
    return buffer.data();
}

RunResult TestXlsxRun::run(const RunSettings &settings, Document &document)
{
    const QByteArray bytes = saveInput(document);
    m_input = XlsxFixture::load(bytes);
    m_input->selectSheet(document.currentWorksheet()->sheetName());
    return run(settings, *m_input, bytes);
}

RunResult TestXlsxRun::run(const RunSettings &settings, Document &input, const QByteArray &bytes)
{
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = &input;
    runInput.rawInput = bytes;
    return ProcessingRun(settings, runInput).exec();
}

OutputCell TestXlsxRun::outputCell(int row, int column, const QString &sheet)
{
    const auto output = XlsxFixture::load(readFile(path("out.xlsx")));
    output->selectSheet(sheet.isEmpty() ? QStringLiteral("Daten") : sheet);
    const Cell *cell = output->cellAt(row, column);
    if (!cell)
        return {};
    return {output->read(row, column), cell->format().numberFormat(), true};
}

void TestXlsxRun::writesResultsByType_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("options");
    QTest::addColumn<InputCell>("input");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<QString>("expectedFormat");

    const QString money = QStringLiteral("#,##0.00");
    const QString date = QStringLiteral("dd.mm.yyyy");
    const QDate day(2020, 2, 1);
    const QDate shifted = Pseudonymizer(key()).shiftDate(day, true);
    const QDateTime moment(day, QTime(10, 30));

    QTest::newRow("amount at factor 1 stays as it is")
        << "<AMOUNT_DOT>"
        << "" << InputCell {1234.5, money} << QVariant(1234.5) << money;
    // Not a plain number, so text: the value stays, the cell is marked as text.
    QTest::newRow("amount text at factor 1 stays as it is")
        << "<AMOUNT_COMMA>"
        << "" << InputCell {QStringLiteral("12,50 €"), QString()}
        << QVariant(QStringLiteral("12,50 €")) << "@";
    QTest::newRow("scaled amount is a number")
        << "<AMOUNT_DOT>"
        << "float=2" << InputCell {1234.5, money} << QVariant(2469.0) << money;
    QTest::newRow("scaled amount as text") << "<AMOUNT_DOT>"
                                           << "float=2 floatText" << InputCell {1234.5, money}
                                           << QVariant(QStringLiteral("2469.0")) << "@";
    QTest::newRow("scaled amount with currency is text")
        << "<AMOUNT_COMMA>"
        << "float=2" << InputCell {QStringLiteral("1.234,56 EUR"), QString()}
        << QVariant(QStringLiteral("2.469,12 EUR")) << "@";
    QTest::newRow("small amount keeps its digits")
        << "<AMOUNT_DOT>"
        << "greater1=off" << InputCell {0.000001, QString()} << QVariant(0.000001) << QString();
    QTest::newRow("integer 15000000")
        << "<INTEGER>"
        << "" << InputCell {15000000.0, QString()} << QVariant(15000000.0) << QString();
    QTest::newRow("integer 1e15") << "<INTEGER>"
                                  << "" << InputCell {1e15, QString()} << QVariant(1e15)
                                  << QString();
    QTest::newRow("integer 123456789012")
        << "<INTEGER>"
        << "" << InputCell {123456789012.0, QString()} << QVariant(123456789012.0) << QString();
    QTest::newRow("scaled integer")
        << "<INTEGER>"
        << "int=3" << InputCell {15000000.0, QString()} << QVariant(45000000.0) << QString();
    QTest::newRow("date cell is a date")
        << "<DATE>"
        << "" << InputCell {day, date} << QVariant(shifted) << date;
    QTest::newRow("date text becomes a date")
        << "<DATE>"
        << "" << InputCell {QStringLiteral("01.02.2020"), QString()} << QVariant(shifted)
        << "yyyy-mm-dd";
    QTest::newRow("date as text") << "<DATE>"
                                  << "dateText" << InputCell {day, date}
                                  << QVariant(shifted.toString(QStringLiteral("dd.MM.yyyy")))
                                  << "@";
    QTest::newRow("unreadable date is emptied")
        << "<DATE>"
        << "" << InputCell {QStringLiteral("kein Datum"), QString()} << QVariant() << "@";
    QTest::newRow("date-time as text")
        << "<DATETIME_CONVERT>"
        << "" << InputCell {moment, QStringLiteral("dd.mm.yyyy hh:mm")}
        << QVariant(QStringLiteral("01.02.2020 10:30:00")) << "@";
    QTest::newRow("running number is a number")
        << "<NUM>"
        << "" << InputCell {QStringLiteral("x"), QString()} << QVariant(1.0) << QString();
    QTest::newRow("running number with text is text")
        << "ID-<NUM>"
        << "" << InputCell {QStringLiteral("x"), QString()} << QVariant(QStringLiteral("ID-1"))
        << "@";
    QTest::newRow("result with = stays text") << "=<NUM>"
                                              << "" << InputCell {QStringLiteral("x"), QString()}
                                              << QVariant(QStringLiteral("=1")) << "@";
    QTest::newRow("name is text") << "<NAME>"
                                  << "" << InputCell {42.0, money}
                                  << QVariant(Pseudonymizer(key()).keyedPseudonym(
                                         vondrel::FieldTypeId::Name, QStringLiteral("42")))
                                  << "@";
    QTest::newRow("cleared cell is empty")
        << ""
        << "cleared" << InputCell {QStringLiteral("geheim"), money} << QVariant() << "@";
}

void TestXlsxRun::writesResultsByType()
{
    QFETCH(QString, templateText);
    QFETCH(QString, options);
    QFETCH(InputCell, input);
    QFETCH(QVariant, expected);
    QFETCH(QString, expectedFormat);

    auto document = newWorkbook();
    QVERIFY(document->write(1, 2, QStringLiteral("Wert")));
    QVERIFY(document->write(2, 2, input.value,
                            input.format.isEmpty() ? Format() : numberFormat(input.format)));
    RunSettings s = settings();
    s.templates = {{1, templateText}};
    const QStringList words = options.split(u' ', Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (word.startsWith(QLatin1String("float=")))
            s.floatScaleFactor = word.mid(6).toDouble();
        else if (word.startsWith(QLatin1String("int=")))
            s.intScaleFactor = word.mid(4).toDouble();
        else if (word == QLatin1String("floatText"))
            s.saveFloatAsText = true;
        else if (word == QLatin1String("dateText"))
            s.saveDateAsText = true;
        else if (word == QLatin1String("greater1=off"))
            s.floatScaleFactorGreater1 = false;
        else if (word == QLatin1String("cleared"))
            s.clearedColumns = {1};
    }

    const RunResult result = run(s, *document);
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.messageText, created);
    const OutputCell cell = outputCell(2, 2);
    QVERIFY(cell.exists);
    QCOMPARE(cell.value, expected);
    QCOMPARE(cell.format, expectedFormat);
    QCOMPARE(outputCell(1, 2).value, QVariant(QStringLiteral("Wert")));
}

void TestXlsxRun::leavesRowsAboveAndOtherSheetsAlone()
{
    auto document = newWorkbook();
    QVERIFY(document->write(1, 1, QStringLiteral("Bericht Anna")));
    QVERIFY(document->write(2, 1, QStringLiteral("Name")));
    QVERIFY(document->write(3, 1, QStringLiteral("Anna")));
    QVERIFY(document->write(4, 1, QStringLiteral("Ben")));
    QVERIFY(document->write(5, 1, QStringLiteral("=A3")));
    QVERIFY(document->selectSheet(QStringLiteral("Andere")));
    QVERIFY(document->write(1, 1, QStringLiteral("Anna")));
    QVERIFY(document->selectSheet(QStringLiteral("Daten")));
    RunSettings s = settings();
    s.rowOffset = 2;
    s.templates = {{0, QStringLiteral("<NUM>")}};

    const RunResult result = run(s, *document);
    QVERIFY(result.success);
    QCOMPARE(outputCell(1, 1).value, QVariant(QStringLiteral("Bericht Anna")));
    QCOMPARE(outputCell(2, 1).value, QVariant(QStringLiteral("Name")));
    QCOMPARE(outputCell(3, 1).value, QVariant(1.0));
    QCOMPARE(outputCell(4, 1).value, QVariant(2.0));
    // A formula without a recorded result reads as blank and stays.
    QCOMPARE(outputCell(5, 1).value, QVariant(QStringLiteral("=A3")));
    QCOMPARE(outputCell(1, 1, QStringLiteral("Andere")).value, QVariant(QStringLiteral("Anna")));
    QCOMPARE(XlsxFixture::load(readFile(path("out.xlsx")))->sheetNames(),
             QStringList({"Daten", "Andere"}));
}

void TestXlsxRun::mappingFileIsCsvInSheetRows()
{
    auto document = newWorkbook();
    QVERIFY(document->write(1, 2, QStringLiteral("Ort")));
    const char *places[] = {"Köln", "Bonn", "Köln", "Aachen; Nord"};
    for (int i = 0; i < 4; ++i)
        QVERIFY(document->write(i + 2, 2, QString::fromUtf8(places[i])));
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{1, QStringLiteral("<PLACE>")}};
    s.columnCaptions = {QStringLiteral("A"), QStringLiteral("B [Ort]")};

    const RunResult result = run(s, *document);
    QVERIFY(result.success);
    QCOMPARE(result.writtenFiles.size(), 2);
    QList<int> orders;
    QStringList texts;
    for (const MappingEntry &entry : result.mapping.value(1)) {
        orders << entry.order;
        texts << entry.inputText;
    }
    QCOMPARE(orders, QList<int>({2, 3, 5}));
    QCOMPARE(texts, QStringList({"Köln", "Bonn", "Aachen; Nord"}));
    const QList<QByteArray> lines = readFile(result.writtenFiles.at(1)).split('\n');
    QCOMPARE(lines.at(0), QByteArray("\"B [Ort]\";\"B [Ort][neu]\""));
    QVERIFY(lines.at(3).startsWith("\"Aachen; Nord\";\"place"));
    QCOMPARE(lines.size(), 5);
}

void TestXlsxRun::blankEditReachesTheOutput()
{
    // The copy is made from the file's bytes; the input was edited to blank afterwards.
    auto document = newWorkbook();
    QVERIFY(document->write(1, 1, QStringLiteral("Name")));
    QVERIFY(document->write(2, 1, QStringLiteral("Anna")));
    QVERIFY(document->write(3, 1, QStringLiteral("Ben")));
    const QByteArray bytes = saveInput(*document);
    auto input = XlsxFixture::load(bytes);
    QVERIFY(input->write(2, 1, QString()));
    QVERIFY(input->write(3, 1, QStringLiteral(" ")));

    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}};
    const RunResult result = run(s, *input, bytes);
    QVERIFY(result.success);
    QCOMPARE(outputCell(2, 1).value, QVariant());
    QCOMPARE(outputCell(3, 1).value, QVariant(QStringLiteral(" ")));
    QVERIFY(result.mapping.isEmpty());
}

void TestXlsxRun::editedWorkbookIsCopied()
{
    auto document = newWorkbook();
    QVERIFY(document->write(1, 1, QStringLiteral("Name")));
    QVERIFY(document->write(1, 2, QStringLiteral("Datum")));
    QVERIFY(document->write(2, 1, QStringLiteral("Anna")));
    QVERIFY(document->write(2, 2, QDate(2021, 6, 30), numberFormat(QStringLiteral("dd.mm.yyyy"))));
    const QByteArray bytes = saveInput(*document);
    auto input = XlsxFixture::load(bytes);
    QVERIFY(input->write(2, 1, QStringLiteral("Bettina")));
    QVERIFY(input->write(3, 1, QStringLiteral("neu")));
    RunSettings s = settings();
    s.inputEditable = true;
    s.templates = {{0, QStringLiteral("<NAME>")}, {1, QStringLiteral("<DATE>")}};
    const RunResult result = run(s, *input, bytes);
    QVERIFY(result.success);
    QStringList names;
    for (const MappingEntry &entry : result.mapping.value(0))
        names << entry.inputText;
    QCOMPARE(names, QStringList({"Bettina", "neu"}));
    QCOMPARE(outputCell(2, 2).value,
             QVariant(Pseudonymizer(key()).shiftDate(QDate(2021, 6, 30), true)));
    QVERIFY(result.outputSheetModel);
    QCOMPARE(result.outputSheetModel->rowCount(), 3);
}

void TestXlsxRun::refusedWriteStopsTheRun()
{
    // The last day a spreadsheet can hold, moved forward: the sheet refuses the date, and the
    // run must not save a sheet with a hole where the value was.
    QByteArray forward;
    for (int i = 0; i < 64 && forward.isEmpty(); ++i) {
        const QByteArray candidate =
            QByteArray::fromHex("00112233445566778899aabbccddee") + char(i);
        if (Pseudonymizer(candidate).shiftDate(QDate(9999, 12, 31), true) > QDate(9999, 12, 31))
            forward = candidate;
    }
    QVERIFY(!forward.isEmpty());
    auto document = newWorkbook();
    QVERIFY(document->write(1, 1, QDate(9999, 12, 31)));
    writeFile(path("out.xlsx"), "alt");
    RunSettings s = settings();
    s.storedKey = forward;
    s.hasTitle = false;
    s.templates = {{0, QStringLiteral("<DATE>")}};
    const RunResult result = run(s, *document);
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QCOMPARE(result.messageText, QStringLiteral("Die Ausgabedatei konnte nicht erstellt werden."));
    QCOMPARE(readFile(path("out.xlsx")), QByteArray("alt"));
}

void TestXlsxRun::scriptStepWorksOnTheOutput()
{
    auto document = newWorkbook();
    QVERIFY(document->write(1, 1, QStringLiteral("Name")));
    QVERIFY(document->write(2, 1, QStringLiteral("Anna")));
    const QByteArray bytes = saveInput(*document);
    auto input = XlsxFixture::load(bytes);
    writeFile(path("skript.js"), "// leer\n");
    RunSettings s = settings();
    s.useScript = true;
    s.scriptFileName = path("skript.js");
    s.templates = {{0, QStringLiteral("<NUM>")}};
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = input.get();
    runInput.rawInput = bytes;
    ProcessingRun run(s, runInput);
    int calls = 0;
    run.setScriptStep([&](const ScriptTarget &target) {
        ++calls;
        QVERIFY(target.isXlsx);
        QCOMPARE(target.firstRow, 1);
        QVERIFY(!target.date1904);
        QCOMPARE(target.model->index(1, 0).data(Qt::EditRole), QVariant(1.0));
        QVERIFY(target.model->setData(target.model->index(1, 0), QStringLiteral("vom Skript")));
    });
    const RunResult result = run.exec();
    QVERIFY(result.success);
    QCOMPARE(calls, 1);
    QCOMPARE(outputCell(2, 1).value, QVariant(QStringLiteral("vom Skript")));
}

void TestXlsxRun::refusesACsvName()
{
    auto document = newWorkbook();
    QVERIFY(document->write(1, 1, QStringLiteral("x")));
    RunSettings s = settings();
    s.exportFileName = path("out.csv");
    const RunResult result = run(s, *document);
    QVERIFY(!result.success);
    QCOMPARE(result.messageText,
             QStringLiteral("Die Dateiendung der Ausgabedatei muss .xlsx sein."));
    QVERIFY(!QFile::exists(path("out.csv")));
}

void TestXlsxRun::openpyxlReadsTheOutput()
{
#ifndef VONDREL_PYTHON
    QSKIP("No Python with openpyxl to read the output");
#else
    auto document = newWorkbook();
    const QStringList titles = {"Name", "Betrag", "Menge", "Datum", "Notiz", "Nr"};
    for (int column = 1; column <= titles.size(); ++column)
        QVERIFY(document->write(1, column, titles.at(column - 1)));
    QVERIFY(document->write(2, 1, QStringLiteral("Anna")));
    QVERIFY(document->write(2, 2, 1234.5, numberFormat(QStringLiteral("#,##0.00"))));
    QVERIFY(document->write(2, 3, 15000000.0));
    QVERIFY(document->write(2, 4, QDate(2020, 2, 1), numberFormat(QStringLiteral("dd.mm.yyyy"))));
    QVERIFY(document->write(2, 5, QStringLiteral("geheim")));
    QVERIFY(document->write(2, 6, QStringLiteral("x")));
    QVERIFY(document->selectSheet(QStringLiteral("Andere")));
    QVERIFY(document->write(1, 1, QStringLiteral("bleibt")));
    QVERIFY(document->selectSheet(QStringLiteral("Daten")));
    RunSettings s = settings();
    s.floatScaleFactor = 2;
    s.templates = {{0, QStringLiteral("<NAME>")},
                   {1, QStringLiteral("<AMOUNT_DOT>")},
                   {2, QStringLiteral("<INTEGER>")},
                   {3, QStringLiteral("<DATE>")},
                   {5, QStringLiteral("=<NUM>")}};
    s.clearedColumns = {4};
    QVERIFY(run(s, *document).success);

    QProcess process;
    process.start(QStringLiteral(VONDREL_PYTHON),
                  {QStringLiteral(OPENPYXL_SCRIPT), QStringLiteral("read"), path("out.xlsx")});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    const QJsonObject read = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QCOMPARE(read.value(QStringLiteral("sheets")).toArray(), QJsonArray({"Daten", "Andere"}));
    const QJsonObject cells = read.value(QStringLiteral("cells")).toObject();
    const auto cell = [&](const char *name) {
        return cells.value(QStringLiteral("Daten!") + QLatin1String(name)).toArray();
    };
    QCOMPARE(cell("A1").at(0), QJsonValue("Name"));
    QVERIFY(cell("A2").at(0).toString().startsWith(QLatin1String("name")));
    QCOMPARE(cell("A2").at(1), QJsonValue("s"));
    QCOMPARE(cell("B2").at(0), QJsonValue(2469));
    QCOMPARE(cell("B2").at(1), QJsonValue("n"));
    QCOMPARE(cell("B2").at(2), QJsonValue("#,##0.00"));
    QCOMPARE(cell("C2").at(0), QJsonValue(15000000));
    QCOMPARE(cell("D2").at(1), QJsonValue("d"));
    QCOMPARE(
        cell("D2").at(0),
        QJsonValue(Pseudonymizer(key()).shiftDate(QDate(2020, 2, 1), true).toString(Qt::ISODate) +
                   QStringLiteral("T00:00:00")));
    QVERIFY(cell("E2").isEmpty());
    QCOMPARE(cell("F2").at(0), QJsonValue("=1"));
    QCOMPARE(cell("F2").at(1), QJsonValue("s"));
    QCOMPARE(cells.value(QStringLiteral("Andere!A1")).toArray().at(0), QJsonValue("bleibt"));
#endif
}

QTEST_GUILESS_MAIN(TestXlsxRun)
#include "tst_xlsxrun.moc"
