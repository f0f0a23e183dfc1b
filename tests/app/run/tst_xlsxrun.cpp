#include "AppTest.h"
#include "RunFixture.h"
#include "XlsxFixture.h"

#include <engine/Pseudonymizer.h>
#include <run/ProcessingRun.h>
#include <tables/SheetModel.h>
#include <xlsx/Cell.h>
#include <xlsx/Document.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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

} // namespace

Q_DECLARE_METATYPE(InputCell)

class TestXlsxRun : public AppTest
{
    Q_OBJECT

private slots:
    void writesResultsByType_data();
    void writesResultsByType();
    void leavesRowsAboveAndOtherSheetsAlone();
    void copyFollowsTheEditedWorkbook();
    void refusedWriteStopsTheRun();
    void unreadDatesAreCounted();
    void openpyxlReadsTheOutput();

private:
    RunSettings settings() const { return csvSettings(path("in.xlsx"), path("out.xlsx")); }
    // Saves document as the input file and loads it back as the main window does; its bytes.
    QByteArray saveInput(Document &document);
    RunResult run(const RunSettings &settings, Document &document);
    // A cell of the written output as read back: its value as read() gives it, and its
    // number format.
    std::pair<QVariant, QString> outputCell(int row, int column,
                                            const QString &sheet = QStringLiteral("Daten"));

    std::unique_ptr<Document> m_input;
    QByteArray m_inputBytes;
};

QByteArray TestXlsxRun::saveInput(Document &document)
{
    QBuffer buffer;
    if (!document.saveAs(&buffer))
        qFatal("Cannot save the test workbook");
    m_inputBytes = buffer.data();
    writeFile("in.xlsx", m_inputBytes);
    m_input = XlsxFixture::load(m_inputBytes);
    m_input->selectSheet(document.currentWorksheet()->sheetName());
    return m_inputBytes;
}

RunResult TestXlsxRun::run(const RunSettings &settings, Document &input)
{
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = &input;
    runInput.rawInput = m_inputBytes;
    return ProcessingRun(settings, runInput).exec();
}

std::pair<QVariant, QString> TestXlsxRun::outputCell(int row, int column, const QString &sheet)
{
    const auto output = XlsxFixture::load(readFile(path("out.xlsx")));
    output->selectSheet(sheet);
    const Cell *cell = output->cellAt(row, column);
    return {output->read(row, column), cell ? cell->format().numberFormat() : QStringLiteral("-")};
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

    QTest::newRow("amount at factor 1 stays as it is")
        << "<AMOUNT_DOT>"
        << "" << InputCell {1234.5, money} << QVariant(1234.5) << money;
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
    QTest::newRow("integer 123456789012")
        << "<INTEGER>"
        << "" << InputCell {123456789012.0, QString()} << QVariant(123456789012.0) << QString();
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
    QTest::newRow("cleared cell is empty and keeps its format")
        << ""
        << "cleared" << InputCell {QStringLiteral("geheim"), money} << QVariant() << money;
    QTest::newRow("cleared formula without a result is empty")
        << ""
        << "cleared" << InputCell {QStringLiteral("=\"geheim\""), QString()} << QVariant() << "-";
}

void TestXlsxRun::writesResultsByType()
{
    QFETCH(QString, templateText);
    QFETCH(QString, options);
    QFETCH(InputCell, input);
    QFETCH(QVariant, expected);
    QFETCH(QString, expectedFormat);

    auto document = newWorkbook({"Daten", "Andere"});
    QVERIFY(document->write(1, 2, QStringLiteral("Wert")));
    QVERIFY(document->write(2, 2, input.value,
                            input.format.isEmpty() ? Format() : numberFormat(input.format)));
    RunSettings s = settings();
    s.templates = {{1, templateText}};
    const QStringList words = options.split(u' ', Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (word.startsWith(QLatin1String("float=")))
            s.floatScaleFactor = word.mid(6).toDouble();
        else if (word == QLatin1String("floatText"))
            s.saveFloatAsText = true;
        else if (word == QLatin1String("dateText"))
            s.saveDateAsText = true;
        else if (word == QLatin1String("greater1=off"))
            s.floatScaleFactorGreater1 = false;
        else if (word == QLatin1String("cleared"))
            s.clearedColumns = {1};
    }

    saveInput(*document);
    const RunResult result = run(s, *m_input);
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.messageText, created);
    QCOMPARE(outputCell(2, 2), std::make_pair(expected, expectedFormat));
    QCOMPARE(outputCell(1, 2).first, QVariant(QStringLiteral("Wert")));
}

void TestXlsxRun::leavesRowsAboveAndOtherSheetsAlone()
{
    auto document = newWorkbook({"Daten", "Andere"});
    QVERIFY(document->write(1, 1, QStringLiteral("Bericht Anna")));
    QVERIFY(document->write(2, 1, QStringLiteral("Name")));
    const char *names[] = {"Anna", "Ben", "Anna", "Cleo; Nord"};
    for (int i = 0; i < 4; ++i)
        QVERIFY(document->write(i + 3, 1, QString::fromUtf8(names[i])));
    QVERIFY(document->write(7, 1, QStringLiteral("=A3")));
    QVERIFY(document->selectSheet(QStringLiteral("Andere")));
    QVERIFY(document->write(1, 1, QStringLiteral("Anna")));
    QVERIFY(document->selectSheet(QStringLiteral("Daten")));
    RunSettings s = settings();
    s.rowOffset = 2;
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NUM>")}};
    s.columnCaptions = {QStringLiteral("A [Name]")};
    saveInput(*document);

    const RunResult result = run(s, *m_input);
    QVERIFY(result.success);
    QCOMPARE(outputCell(1, 1).first, QVariant(QStringLiteral("Bericht Anna")));
    QCOMPARE(outputCell(2, 1).first, QVariant(QStringLiteral("Name")));
    QCOMPARE(outputCell(3, 1).first, QVariant(1.0));
    QCOMPARE(outputCell(5, 1).first, QVariant(1.0));
    // A formula without a recorded result reads as blank and stays.
    QCOMPARE(outputCell(7, 1).first, QVariant(QStringLiteral("=A3")));
    QCOMPARE(outputCell(1, 1, QStringLiteral("Andere")).first, QVariant(QStringLiteral("Anna")));
    // The mapping file is CSV with the form's options; the order is the sheet row.
    QList<int> orders;
    for (const MappingEntry &entry : result.mapping.value(0).entries())
        orders << entry.order;
    QCOMPARE(orders, QList<int>({3, 4, 6}));
    QCOMPARE(readFile(result.writtenFiles.at(1)),
             QByteArray("\"A [Name]\";\"A [Name][neu]\"\n\"Anna\";\"1\"\n\"Ben\";\"2\"\n"
                        "\"Cleo; Nord\";\"3\"\n"));
}

void TestXlsxRun::copyFollowsTheEditedWorkbook()
{
    auto document = newWorkbook({"Daten", "Andere"});
    QVERIFY(document->write(1, 1, QStringLiteral("Name")));
    QVERIFY(document->write(2, 1, QStringLiteral("Anna")));
    QVERIFY(document->write(3, 1, QStringLiteral("Ben")));
    QVERIFY(document->write(2, 2, QDate(2021, 6, 30), numberFormat(QStringLiteral("dd.mm.yyyy"))));
    saveInput(*document);
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}, {1, QStringLiteral("<DATE>")}};

    // Not editable: the copy comes from the file's bytes, yet cells emptied since stay empty.
    QVERIFY(m_input->write(2, 1, QString()));
    QVERIFY(m_input->write(3, 1, QStringLiteral(" ")));
    QVERIFY(run(s, *m_input).success);
    QCOMPARE(outputCell(2, 1).first, QVariant());
    QCOMPARE(outputCell(3, 1).first, QVariant(QStringLiteral(" ")));

    // Editable: the copy is the edited workbook; the script sees it from the first data row.
    QVERIFY(m_input->write(2, 1, QStringLiteral("Bettina")));
    QVERIFY(m_input->write(4, 1, QStringLiteral("neu")));
    s.inputEditable = true;
    s.useScript = true;
    s.scriptFileName = path("in.xlsx"); // any existing file; the step below stands in
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = m_input.get();
    runInput.rawInput = m_inputBytes;
    ProcessingRun processing(s, runInput);
    processing.setScriptStep([](const ScriptTarget &target) {
        QCOMPARE(target.firstRow, 1);
        QVERIFY(target.model->setData(target.model->index(2, 1), QStringLiteral("vom Skript")));
    });
    const RunResult result = processing.exec();
    QVERIFY(result.success);
    QStringList names;
    for (const MappingEntry &entry : result.mapping.value(0).entries())
        names << entry.inputText;
    QCOMPARE(names, QStringList({"Bettina", "neu"}));
    QCOMPARE(outputCell(2, 2).first,
             QVariant(Pseudonymizer(key()).shiftDate(QDate(2021, 6, 30), true)));
    QCOMPARE(outputCell(3, 2).first, QVariant(QStringLiteral("vom Skript")));
    QCOMPARE(result.outputSheetModel->rowCount(), 4);
}

void TestXlsxRun::refusedWriteStopsTheRun()
{
    // The last day a spreadsheet can hold, moved forward: the sheet refuses the date, and the
    // run must not save a sheet with a hole where the value was.
    QByteArray forward;
    for (int i = 0; i < 64 && forward.isEmpty(); ++i) {
        const QByteArray candidate = key().chopped(1) + char(i);
        if (Pseudonymizer(candidate).shiftDate(QDate(9999, 12, 31), true) > QDate(9999, 12, 31))
            forward = candidate;
    }
    QVERIFY(!forward.isEmpty());
    auto document = newWorkbook({"Daten", "Andere"});
    QVERIFY(document->write(1, 1, QDate(9999, 12, 31)));
    saveInput(*document);
    writeFile("out.xlsx", "alt");
    RunSettings s = settings();
    s.storedKey = forward;
    s.hasTitle = false;
    s.templates = {{0, QStringLiteral("<DATE>")}};
    const RunResult result = run(s, *m_input);
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QCOMPARE(result.messageText, QStringLiteral("Die Ausgabedatei konnte nicht erstellt werden."));
    QCOMPARE(readFile(path("out.xlsx")), QByteArray("alt"));
}

// Text that a date column cannot read comes out empty and is counted; dates stored as dates
// and blank cells are not.
void TestXlsxRun::unreadDatesAreCounted()
{
    auto document = newWorkbook({"Daten"});
    QVERIFY(document->write(1, 1, QStringLiteral("Name")));
    QVERIFY(document->write(1, 2, QStringLiteral("Geburt")));
    const QVariant births[] = {QStringLiteral("1993-08-16"), QDate(1990, 1, 2),
                               QStringLiteral("1993-08-16"), QStringLiteral("unbekannt"),
                               QStringLiteral("02.03.1981"), QStringLiteral(" ")};
    for (int i = 0; i < 6; ++i) {
        QVERIFY(document->write(i + 2, 1, QStringLiteral("N%1").arg(i)));
        QVERIFY(document->write(i + 2, 2, births[i]));
    }
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}, {1, QStringLiteral("<DATE>")}};
    saveInput(*document);

    const RunResult result = run(s, *m_input);
    QVERIFY(result.success);
    QCOMPARE(result.unreadValues, (QMap<int, qsizetype> {{1, 3}}));
    QCOMPARE(outputCell(2, 2).first.toString(), QString());
    QVERIFY(outputCell(3, 2).first.isValid());
}

void TestXlsxRun::openpyxlReadsTheOutput()
{
#ifndef VONDREL_PYTHON
    QSKIP("No Python with openpyxl to read the output");
#else
    auto document = newWorkbook({"Daten", "Andere"});
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
    saveInput(*document);
    QVERIFY(run(s, *m_input).success);

    QProcess process;
    process.start(QStringLiteral(VONDREL_PYTHON),
                  {QStringLiteral(OPENPYXL_SCRIPT), QStringLiteral("read"), path("out.xlsx")});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    const QJsonObject read = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QCOMPARE(read.value(QStringLiteral("sheets")).toArray(), QJsonArray({"Daten", "Andere"}));
    const QJsonObject cells = read.value(QStringLiteral("cells")).toObject();
    const QString name =
        Pseudonymizer(key()).keyedPseudonym(vondrel::FieldTypeId::Name, QStringLiteral("Anna"));
    const QString date =
        Pseudonymizer(key()).shiftDate(QDate(2020, 2, 1), true).toString(Qt::ISODate);
    // Value, openpyxl's data type and the number format of each written cell.
    const QList<std::pair<QString, QJsonArray>> expected = {
        {"Daten!A2", {name, "s", "@"}},
        {"Daten!B2", {2469, "n", "#,##0.00"}},
        {"Daten!C2", {15000000, "n", "General"}},
        {"Daten!D2", {date + QStringLiteral("T00:00:00"), "d", "dd.mm.yyyy"}},
        {"Daten!F2", {"=1", "s", "@"}},
        {"Andere!A1", {"bleibt", "s", "General"}},
    };
    for (const auto &[cell, value] : expected) {
        const QJsonArray actual = cells.value(cell).toArray();
        QCOMPARE(QJsonArray({actual.at(0), actual.at(1), actual.at(2)}), value);
    }
    QVERIFY(!cells.contains(QStringLiteral("Daten!E2")));
#endif
}

QTEST_GUILESS_MAIN(TestXlsxRun)
#include "tst_xlsxrun.moc"
