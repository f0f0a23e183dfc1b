#include "MappingFile.h"
#include "ProcessingRun.h"
#include "QxtCsvModel.h"
#include "RunFixture.h"
#include "RunInput.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

using namespace RunFixture;
using Templates = QMap<int, QString>;

namespace {

const QString created = QStringLiteral("Die Ausgabedatei wurde erstellt.");
const QString notCreated = QStringLiteral("Die Ausgabedatei konnte nicht erstellt werden.");
const QString sameFile =
    QStringLiteral("Die Eingabedatei und die Ausgabedatei müssen unterschiedlich sein.");

// Every file of dir, for checks that a failed run leaves no stray temporary file.
QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A key whose pseudonyms differ from those of RunFixture::key().
QByteArray otherKey()
{
    return QByteArray::fromHex("0f1e2d3c4b5a69788796a5b4c3d2e1f0");
}

// Lowers the file size limit of this process for its lifetime, as a full disk would stop
// writes; the signal that would end the process is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

QByteArray manyRows(int rows, int width)
{
    QByteArray bytes = "Name;Nr\n";
    for (int i = 0; i < rows; ++i)
        bytes += "Person " + QByteArray::number(i).rightJustified(width, 'x') + ";" +
            QByteArray::number(i) + "\n";
    return bytes;
}

} // namespace

class TestCsvRun : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void writesOutputByteForByte_data();
    void writesOutputByteForByte();
    void keepsNoOriginalOfAPseudonymisedColumn();
    void mappingFileHoldsEachDistinctValueOnce();
    void mappingFileWithoutPseudonymisedColumnIsEmpty();
    void runningNumbersCountOnAcrossColumns();
    void resultsDoNotDependOnThreads();
    void keyedColumnsRepeatUnderOneKey();
    void newKeyIsStoredBeforeTheOutput();
    void scriptStepWorksOnTheOutput();

    void refusesInput_data();
    void refusesInput();
    void refusesTheInputFileAsOutput_data();
    void refusesTheInputFileAsOutput();
    void refusesAnIncompleteLoad();
    void keepsOldOutputWhenWritingFails_data();
    void keepsOldOutputWhenWritingFails();
    void reportsAFailedMappingFile();
    void refusesUnwritableTargets();

    void blankEditReachesTheOutput();
    void editedTableIsCopiedExactly();
    void byteOrderMarkFollowsOutputEncoding_data();
    void byteOrderMarkFollowsOutputEncoding();
    void fieldsHoldingTheSeparatorStayInTheirRow();
    void diagnosticsHoldNoCellContents();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    RunSettings settings() const { return csvSettings(path("in.csv"), path("out.csv")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCsvRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCsvRun::writesOutputByteForByte_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("rowOffset");
    QTest::addColumn<bool>("hasTitle");
    QTest::addColumn<bool>("removeMetaData");
    QTest::addColumn<bool>("hasBom");
    QTest::addColumn<QByteArray>("expected");

    // The first column is numbered, so that repeats show the cache: Anna is 1 both times.
    QTest::newRow("offset 1, LF") << QByteArray("Name;Nr\nAnna;x\nBen;y\nAnna;z\n") << 1 << true
                                  << false << false
                                  << QByteArray("\"Name\";\"Nr\"\n\"1\";\"x\"\n\"2\";\"y\"\n"
                                                "\"1\";\"z\"\n");
    QTest::newRow("offset 1, CRLF") << QByteArray("Name;Nr\r\nAnna;x\r\n") << 1 << true << false
                                    << false << QByteArray("\"Name\";\"Nr\"\n\"1\";\"x\"\n");
    QTest::newRow("offset 4, comment lines, CRLF")
        << QByteArray("# Export\r\n# Stand: heute\r\n# ---\r\nName;Nr\r\nAnna;x\r\nBen;y\r\n") << 4
        << true << false << false
        << QByteArray("# Export\r\n# Stand: heute\r\n# ---\r\n\"Name\";\"Nr\"\n\"1\";\"x\"\n"
                      "\"2\";\"y\"\n");
    QTest::newRow("offset 4, metadata removed")
        << QByteArray("# Export\n# Stand: heute\n# ---\nName;Nr\nAnna;x\n") << 4 << true << true
        << false << QByteArray("\"Name\";\"Nr\"\n\"1\";\"x\"\n");
    QTest::newRow("offset 2, no title")
        << QByteArray("# Kopf\nAnna;x\nBen;y\n") << 2 << false << false << false
        << QByteArray("# Kopf\n\"1\";\"x\"\n\"2\";\"y\"\n");
    QTest::newRow("UTF-8 without mark")
        << QByteArray("Name;Ort\nJürgen;Köln\n") << 1 << true << false << false
        << QByteArray("\"Name\";\"Ort\"\n\"1\";\"Köln\"\n");
    QTest::newRow("UTF-8 mark, offset 1")
        << QByteArray("\xEF\xBB\xBFName;Ort\nJürgen;Köln\n") << 1 << true << false << true
        << QByteArray("\xEF\xBB\xBF\"Name\";\"Ort\"\n\"1\";\"Köln\"\n");
    QTest::newRow("UTF-8 mark, copied line")
        << QByteArray("\xEF\xBB\xBF# Kopf\nName;Ort\nJürgen;Köln\n") << 2 << true << false << true
        << QByteArray("\xEF\xBB\xBF# Kopf\n\"Name\";\"Ort\"\n\"1\";\"Köln\"\n");
    QTest::newRow("UTF-8 mark, metadata removed")
        << QByteArray("\xEF\xBB\xBF# Kopf\nName;Ort\nJürgen;Köln\n") << 2 << true << true << true
        << QByteArray("\xEF\xBB\xBF\"Name\";\"Ort\"\n\"1\";\"Köln\"\n");
    QTest::newRow("offset 0 counts as 1") << QByteArray("Name;Nr\nAnna;x\n") << 0 << true << false
                                          << false << QByteArray("\"Name\";\"Nr\"\n\"1\";\"x\"\n");
    // No data row at all: nothing to pseudonymise, the table is written from its first line.
    QTest::newRow("file shorter than the start row")
        << QByteArray("Anna;x\nBen;y\n") << 5 << true << false << false
        << QByteArray("\"Anna\";\"x\"\n\"Ben\";\"y\"\n");
}

void TestCsvRun::writesOutputByteForByte()
{
    QFETCH(QByteArray, input);
    QFETCH(int, rowOffset);
    QFETCH(bool, hasTitle);
    QFETCH(bool, removeMetaData);
    QFETCH(bool, hasBom);
    QFETCH(QByteArray, expected);

    RunSettings s = settings();
    s.rowOffset = rowOffset;
    s.hasTitle = hasTitle;
    s.removeMetaData = removeMetaData;
    s.inputHasBom = hasBom;
    s.templates = {{0, QStringLiteral("<NUM>")}};
    const RunResult result = runCsv(s, input);
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QCOMPARE(result.messageText, created);
    QCOMPARE(readFile(path("out.csv")), expected);
    QCOMPARE(readFile(path("in.csv")), input);
    QCOMPARE(result.writtenFiles, QStringList({path("out.csv")}));
}

void TestCsvRun::keepsNoOriginalOfAPseudonymisedColumn()
{
    const QByteArray input = "Name;Mail;Ort;IBAN;Notiz\n"
                             "Anna Berg;anna@berg.de;Köln;DE44500105175407324931;frei\n"
                             "Ben Cohn;ben@cohn.de;Bonn;DE89370400440532013000;frei\n"
                             "Anna Berg;anna@berg.de;Köln;DE44500105175407324931;bleibt\n";
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")},
                   {1, QStringLiteral("<EMAIL>")},
                   {2, QStringLiteral("<PLACE>")},
                   {3, QStringLiteral("<IBAN>")}};
    s.clearedColumns = {4};
    const RunResult result = runCsv(s, input);
    QVERIFY(result.success);

    const QByteArray output = readFile(path("out.csv"));
    for (const char *original :
         {"Anna", "Berg", "Cohn", "anna@", "ben@", "Köln", "Bonn", "DE44500105175407324931",
          "DE89370400440532013000", "frei", "bleibt"})
        QVERIFY2(!output.contains(original), original);
    // Title row untouched, shape kept: 4 lines of 5 fields.
    QVERIFY(output.startsWith("\"Name\";\"Mail\";\"Ort\";\"IBAN\";\"Notiz\"\n"));
    const QList<QByteArray> lines = output.trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    for (const QByteArray &line : lines)
        QCOMPARE(line.count(';'), 4);
    // Cleared cells are empty, repeated values get the same pseudonym.
    QVERIFY(lines.at(1).endsWith(";\"\""));
    QCOMPARE(lines.at(3).left(lines.at(3).lastIndexOf(';')),
             lines.at(1).left(lines.at(1).lastIndexOf(';')));
}

void TestCsvRun::mappingFileHoldsEachDistinctValueOnce()
{
    // Column 1 meets three distinct values, column 2 five; both repeat some.
    const QByteArray input = "Nr;Stadt;Name\n"
                             "1;Köln;Anna\n2;Bonn;Ben\n3;Köln;Cleo\n4;Aachen;Anna\n"
                             "5;Bonn;Dora\n6;Köln;Emil\n";
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{1, QStringLiteral("<PLACE>")}, {2, QStringLiteral("<NAME>")}};
    s.columnCaptions = {QStringLiteral("1 [Nr]"), QStringLiteral("2 [Stadt]"),
                        QStringLiteral("3 [Name]")};
    const QDateTime before = QDateTime::currentDateTime();
    const RunResult result = runCsv(s, input);
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.writtenFiles.size(), 2);
    const QString mappingPath = result.writtenFiles.at(1);
    QVERIFY(mappingPath == MappingFile::pathFor(path("out.csv"), before) ||
            mappingPath == MappingFile::pathFor(path("out.csv"), before.addSecs(1)));

    const QList<MappingEntry> places = result.mapping.value(1);
    const QList<MappingEntry> names = result.mapping.value(2);
    QCOMPARE(result.mapping.keys(), QList<int>({1, 2}));
    QStringList placeTexts;
    QList<int> placeOrders;
    for (const MappingEntry &entry : places) {
        placeTexts << entry.inputText;
        placeOrders << entry.order;
    }
    QCOMPARE(placeTexts, QStringList({"Köln", "Bonn", "Aachen"}));
    QCOMPARE(placeOrders, QList<int>({1, 2, 4}));
    QCOMPARE(names.size(), 5);

    // Header, five rows; the shorter pair is padded with empty cells.
    QxtCsvModel mapping;
    mapping.setQuoteFlags(readMode);
    QFile file(mappingPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    mapping.readCsv(&file, true, u';', nullptr, -1, 0);
    QCOMPARE(mapping.columnCount(), 4);
    QCOMPARE(mapping.rowCount(), 5);
    QCOMPARE(mapping.headerData(0, Qt::Horizontal).toString(), QStringLiteral("2 [Stadt]"));
    QCOMPARE(mapping.headerData(1, Qt::Horizontal).toString(), QStringLiteral("2 [Stadt][neu]"));
    QCOMPARE(mapping.headerData(3, Qt::Horizontal).toString(), QStringLiteral("3 [Name][neu]"));
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(mapping.text(row, 2), names.at(row).inputText);
        QCOMPARE(mapping.text(row, 3), names.at(row).pseudonym);
        QCOMPARE(mapping.text(row, 0), row < 3 ? places.at(row).inputText : QString());
        QCOMPARE(mapping.text(row, 1), row < 3 ? places.at(row).pseudonym : QString());
    }
    // The pseudonyms in the output are those of the mapping file.
    const QByteArray output = readFile(path("out.csv"));
    for (const MappingEntry &entry : places + names)
        QVERIFY(output.contains(entry.pseudonym.toUtf8()));
}

void TestCsvRun::mappingFileWithoutPseudonymisedColumnIsEmpty()
{
    RunSettings s = settings();
    s.createMappingFile = true;
    s.clearedColumns = {1};
    s.templates = {{1, QStringLiteral("<NAME>")}}; // cleared wins: no mapping entries
    const RunResult result = runCsv(s, "Nr;Name\n1;Anna\n");
    QVERIFY(result.success);
    QVERIFY(result.mapping.isEmpty());
    QCOMPARE(result.writtenFiles.size(), 2);
    QCOMPARE(QFileInfo(result.writtenFiles.at(1)).size(), 0);
    QCOMPARE(readFile(path("out.csv")), QByteArray("\"Nr\";\"Name\"\n\"1\";\"\"\n"));
}

void TestCsvRun::runningNumbersCountOnAcrossColumns()
{
    // Row by row, left to right: new values of either column take the next number.
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NUM>")}, {1, QStringLiteral("K-<NUM>")}};
    const RunResult result = runCsv(s, "A;B\na;x\nb;x\na;y\n");
    QVERIFY(result.success);
    QCOMPARE(readFile(path("out.csv")),
             QByteArray("\"A\";\"B\"\n\"1\";\"K-2\"\n\"3\";\"K-2\"\n\"1\";\"K-4\"\n"));
    // A second run starts again at 1.
    QVERIFY(runCsv(s, "A;B\nq;r\n").success);
    QCOMPARE(readFile(path("out.csv")), QByteArray("\"A\";\"B\"\n\"1\";\"K-2\"\n"));
}

void TestCsvRun::resultsDoNotDependOnThreads()
{
    // Order-dependent columns (IBAN, running number) between text-only ones, over enough
    // distinct values and rows to be split among threads and written in several blocks.
    QByteArray input = "Name;IBAN;Nr;Datum;Betrag;Mail;Strasse;USt\n";
    for (int i = 0; i < 9000; ++i) {
        input += "Name " + QByteArray::number(i % 1700) + ";DE" + QByteArray::number(10 + i % 89) +
            "37040044053201" + QByteArray::number(1000 + i % 900) + ";" +
            QByteArray::number(i % 500) + ";" + QByteArray::number(1 + i % 28) + ".0" +
            QByteArray::number(1 + i % 9) + ".2020;" + QByteArray::number(i) + ",50;m" +
            QByteArray::number(i % 2100) + "@x.de;Weg " + QByteArray::number(i % 1300) + " " +
            QByteArray::number(1 + i % 40) + "a;de " + QByteArray::number(100000000 + i % 2500) +
            "\n";
    }
    RunSettings s = settings();
    s.createMappingFile = false;
    s.floatScaleFactor = 3;
    s.dateShiftPerDataSet = false;
    s.simulateReal = true;
    s.templates = {{0, QStringLiteral("<NAME>")},         {1, QStringLiteral("<IBAN>")},
                   {2, QStringLiteral("<NUM>")},          {3, QStringLiteral("<DATE>")},
                   {4, QStringLiteral("<AMOUNT_COMMA>")}, {5, QStringLiteral("<EMAIL>")},
                   {6, QStringLiteral("<STREET_NO>")},    {7, QStringLiteral("<VATID>")}};

    QxtCsvModel model;
    const RunResult single = runCsv(s, input, model, 1);
    QVERIFY(single.success);
    const QByteArray sequential = readFile(path("out.csv"));
    QxtCsvModel model2;
    const RunResult parallel = runCsv(s, input, model2, 8);
    QVERIFY(parallel.success);
    QCOMPARE(readFile(path("out.csv")), sequential);
    // Blocks written on several threads make the bytes one writer makes.
    QBuffer oneWriter;
    parallel.outputCsvModel->setQuoteFlags(s.writeQuoteMode);
    QVERIFY(parallel.outputCsvModel->writeCsv(&oneWriter, false, u';', nullptr, 0));
    QCOMPARE(sequential, oneWriter.data());
    QCOMPARE(parallel.mapping.keys(), single.mapping.keys());
    for (int column : single.mapping.keys()) {
        const QList<MappingEntry> a = single.mapping.value(column);
        const QList<MappingEntry> b = parallel.mapping.value(column);
        QCOMPARE(a.size(), b.size());
        for (qsizetype i = 0; i < a.size(); ++i) {
            QCOMPARE(b.at(i).order, a.at(i).order);
            QCOMPARE(b.at(i).pseudonym, a.at(i).pseudonym);
        }
    }
}

void TestCsvRun::keyedColumnsRepeatUnderOneKey()
{
    const QByteArray input = "Name;Datum\nAnna;01.02.2020\nBen;03.04.2021\n";
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}, {1, QStringLiteral("<DATE>")}};
    QVERIFY(runCsv(s, input).success);
    const QByteArray first = readFile(path("out.csv"));
    QVERIFY(runCsv(s, input).success);
    QCOMPARE(readFile(path("out.csv")), first);
    s.storedKey = otherKey();
    QVERIFY(runCsv(s, input).success);
    QVERIFY(readFile(path("out.csv")) != first);
}

void TestCsvRun::newKeyIsStoredBeforeTheOutput()
{
    const QByteArray input = "Name\nAnna\n";
    const struct
    {
        QByteArray stored;
        bool replaced;
    } cases[] = {
        {QByteArray(), true},
        {QByteArray("kurz"), true},
        {QByteArray(16, 'A'), true},
        {QByteArray::fromHex("0001000100010001000100010001000a"), true}, // 3 distinct bytes
        {key(), false},
        {key() + otherKey(), false},
    };
    for (const auto &test : cases) {
        writeFile(path("out.csv"), "alt\n");
        RunSettings s = settings();
        s.storedKey = test.stored;
        s.templates = {{0, QStringLiteral("<NAME>")}};
        QxtCsvModel model;
        const RunInput runInput = csvInput(s, input, model);
        ProcessingRun run(s, runInput);
        QList<QByteArray> stored;
        QByteArray outputWhenStored;
        run.setKeyStore([&](const QByteArray &newKey) {
            stored << newKey;
            outputWhenStored = readFile(path("out.csv"));
        });
        const RunResult result = run.exec();
        QVERIFY(result.success);
        if (!test.replaced) {
            QVERIFY(stored.isEmpty());
            QVERIFY(result.newKey.isEmpty());
            continue;
        }
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().size(), 16);
        QCOMPARE(result.newKey, stored.first());
        QCOMPARE(outputWhenStored, QByteArray("alt\n"));
        // The output is the one the stored key gives.
        const QByteArray output = readFile(path("out.csv"));
        s.storedKey = stored.first();
        QVERIFY(runCsv(s, input).success);
        QCOMPARE(readFile(path("out.csv")), output);
    }
}

void TestCsvRun::scriptStepWorksOnTheOutput()
{
    const QByteArray input = "# Kopf\nName;Nr\nAnna;1\n";
    writeFile(path("skript.js"), "// leer\n");
    for (const bool useScript : {true, false}) {
        RunSettings s = settings();
        s.rowOffset = 2;
        s.useScript = useScript;
        s.scriptFileName = path("skript.js");
        s.templates = {{0, QStringLiteral("<NUM>")}};
        QxtCsvModel model;
        ProcessingRun run(s, csvInput(s, input, model));
        QList<ScriptTarget> targets;
        run.setScriptStep([&](const ScriptTarget &target) {
            targets << target;
            // The script sees the pseudonymised copy and its changes are written.
            QCOMPARE(target.model->index(2, 0).data().toString(), QStringLiteral("1"));
            target.model->setData(target.model->index(2, 1), QStringLiteral("vom Skript"));
        });
        const RunResult result = run.exec();
        QVERIFY(result.success);
        QCOMPARE(targets.size(), useScript ? 1 : 0);
        if (!useScript)
            continue;
        QCOMPARE(targets.first().model, result.outputCsvModel.data());
        QCOMPARE(targets.first().firstRow, 2);
        QVERIFY(targets.first().hasTitle);
        QVERIFY(!targets.first().isXlsx);
        QCOMPARE(readFile(path("out.csv")),
                 QByteArray("# Kopf\n\"Name\";\"Nr\"\n\"1\";\"vom Skript\"\n"));
        QCOMPARE(model.text(2, 1), QStringLiteral("1"));
    }
}

void TestCsvRun::refusesInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("useScript");
    QTest::addColumn<QString>("message");

    const QByteArray table = "Name\nAnna\n";
    QTest::newRow("no data") << QByteArray() << "out.csv" << false
                             << "Es liegen noch keine Daten vor.";
    QTest::newRow("no output name")
        << table << "  " << false << "Es muss eine Ausgabedatei ausgewählt werden.";
    QTest::newRow("xlsx name") << table << "out.XLSX" << false
                               << "Die Dateiendung der Ausgabedatei darf nicht .xlsx sein.";
    QTest::newRow("script missing")
        << table << "out.csv" << true << "Die Scriptdatei \r\n%1\r\nwurde nicht gefunden.";
}

void TestCsvRun::refusesInput()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, output);
    QFETCH(bool, useScript);
    QFETCH(QString, message);

    writeFile(path("out.csv"), "alt\n");
    RunSettings s = settings();
    s.exportFileName = output.trimmed().isEmpty() ? output : path(output);
    s.useScript = useScript;
    s.scriptFileName = path("fehlt.js");
    const RunResult result = runCsv(s, input);
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
    QCOMPARE(result.messageText, useScript ? message.arg(s.scriptFileName) : message);
    QCOMPARE(readFile(path("out.csv")), QByteArray("alt\n"));
    QCOMPARE(filesIn(m_dir->path()), QStringList({"in.csv", "out.csv"}));
}

void TestCsvRun::refusesTheInputFileAsOutput_data()
{
    QTest::addColumn<QString>("inputField");
    QTest::addColumn<QString>("output");

    QTest::newRow("same name") << "in.csv"
                               << "in.csv";
    QTest::newRow("dot slash") << "in.csv"
                               << "./in.csv";
    QTest::newRow("parent and back") << "in.csv"
                                     << "../%1/in.csv";
    QTest::newRow("trailing blank") << "in.csv"
                                    << "in.csv ";
    QTest::newRow("hard link") << "in.csv"
                               << "hard.csv";
    QTest::newRow("symbolic link") << "in.csv"
                                   << "soft.csv";
    // The field names another file than the one whose bytes were loaded.
    QTest::newRow("loaded file") << "other.csv"
                                 << "in.csv";
}

void TestCsvRun::refusesTheInputFileAsOutput()
{
    QFETCH(QString, inputField);
    QFETCH(QString, output);

    const QByteArray input = "Name\nAnna\n";
    writeFile(path("in.csv"), input);
    writeFile(path("other.csv"), "x\n");
    QVERIFY(::link(QFile::encodeName(path("in.csv")), QFile::encodeName(path("hard.csv"))) == 0);
    QVERIFY(QFile::link(path("in.csv"), path("soft.csv")));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));

    RunSettings s = settings();
    s.inputFileName = path(inputField);
    s.loadedFileName = path("in.csv");
    s.exportFileName =
        output.contains(u'%') ? output.arg(QFileInfo(m_dir->path()).fileName()) : output;
    s.templates = {{0, QStringLiteral("<NAME>")}};
    QxtCsvModel model;
    const RunResult result = ProcessingRun(s, csvInput(s, input, model)).exec();
    QDir::setCurrent(previous);

    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
    QCOMPARE(result.messageText, sameFile);
    QCOMPARE(readFile(path("in.csv")), input);
    QCOMPARE(filesIn(m_dir->path()), QStringList({"hard.csv", "in.csv", "other.csv", "soft.csv"}));
}

void TestCsvRun::refusesAnIncompleteLoad()
{
    // The user cancelled loading: rows past that point must not pass unchanged.
    const QByteArray input = manyRows(200000, 8);
    writeFile(path("out.csv"), "alt\n");
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}};
    QxtCsvModel::setProgressHook([](qint64) {
        return [](qint64 bytesRead) {
            return bytesRead == 0;
        };
    });
    QxtCsvModel model;
    const RunInput runInput = csvInput(s, input, model);
    QxtCsvModel::setProgressHook({});
    QVERIFY(model.lastReadCancelled());
    QVERIFY(model.rowCount() > 0);

    const RunResult result = ProcessingRun(s, runInput).exec();
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
    QCOMPARE(result.messageText,
             QStringLiteral(
                 "Die Daten wurden nicht vollständig geladen. Bitte die Eingabedatei neu laden."));
    QCOMPARE(readFile(path("out.csv")), QByteArray("alt\n"));
    QCOMPARE(filesIn(m_dir->path()), QStringList({"in.csv", "out.csv"}));
}

void TestCsvRun::keepsOldOutputWhenWritingFails_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("disk full") << "full";
    QTest::newRow("read-only directory") << "read-only";
}

void TestCsvRun::keepsOldOutputWhenWritingFails()
{
    QFETCH(QString, kind);

    const QString outDir = path("ziel");
    QVERIFY(QDir().mkpath(outDir));
    const QString outPath = outDir + QStringLiteral("/out.csv");
    writeFile(outPath, "alt\n");
    RunSettings s = settings();
    s.exportFileName = outPath;
    s.templates = {{0, QStringLiteral("<NAME>")}};
    const QByteArray input = manyRows(20000, 8);

    RunResult result;
    if (kind == QLatin1String("full")) {
        QxtCsvModel model;
        const RunInput runInput = csvInput(s, input, model);
        ProcessingRun run(s, runInput);
        const FileSizeLimit limit(64 * 1024);
        result = run.exec();
    } else {
        QVERIFY(QFile::setPermissions(outDir, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(outDir + QStringLiteral("/probe"));
        const bool writable = probe.open(QIODevice::WriteOnly);
        probe.remove();
        if (!writable)
            result = runCsv(s, input);
        QFile::setPermissions(outDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (writable)
            QSKIP("Permissions do not bind this user (root)");
    }

    QVERIFY(!result.success);
    QVERIFY(!result.messageText.isEmpty());
    QVERIFY(result.messageText != created);
    QVERIFY(result.writtenFiles.isEmpty());
    QCOMPARE(readFile(outPath), QByteArray("alt\n"));
    QCOMPARE(filesIn(outDir), QStringList({"out.csv"}));
    if (kind == QLatin1String("full")) {
        QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
        QCOMPARE(result.messageText, notCreated);
    }
}

void TestCsvRun::reportsAFailedMappingFile()
{
    // Long distinct names: the output holds only their short pseudonyms, the mapping file
    // the names as well, so a size limit between the two stops the mapping file alone.
    QByteArray input = "Name\n";
    for (int i = 0; i < 2000; ++i)
        input += QByteArray(200, 'n') + QByteArray::number(i) + "\n";
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NAME>")}};
    QxtCsvModel model;
    const RunInput runInput = csvInput(s, input, model);
    ProcessingRun run(s, runInput);
    RunResult result;
    {
        const FileSizeLimit limit(200 * 1024);
        result = run.exec();
    }
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QCOMPARE(result.messageText,
             QStringLiteral("Die Zuordnungsdatei konnte nicht erstellt werden."));
    QCOMPARE(result.writtenFiles, QStringList({path("out.csv")}));
    QCOMPARE(readFile(path("out.csv")).count('\n'), 2001);
    QCOMPARE(filesIn(m_dir->path()), QStringList({"in.csv", "out.csv"}));
}

void TestCsvRun::refusesUnwritableTargets()
{
    // A save file would put a plain file in place of a device node; a pipe stands in for
    // /dev/full, which only the tested refusal keeps intact for a root user.
    const QString fifo = path("pipe.csv");
    QVERIFY(::mkfifo(QFile::encodeName(fifo), 0600) == 0);
    for (const QString &target : {fifo, QStringLiteral("/dev/full")}) {
        RunSettings s = settings();
        s.exportFileName = target;
        const RunResult result = runCsv(s, "Name\nAnna\n");
        QVERIFY(!result.success);
        QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
        QVERIFY(result.messageText.contains(target));
        struct stat info
        {
        };
        QVERIFY(::stat(QFile::encodeName(target), &info) == 0);
        QVERIFY(!S_ISREG(info.st_mode));
    }
    // A directory that takes no files, not even from root.
    RunSettings s = settings();
    s.exportFileName = QStringLiteral("/proc/vondrel-out.csv");
    const RunResult result = runCsv(s, "Name\nAnna\n");
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
    QVERIFY(!result.messageText.isEmpty());
    QVERIFY(!QFile::exists(s.exportFileName));
}

void TestCsvRun::blankEditReachesTheOutput()
{
    // The copy is made from the file's bytes; cells the user emptied must not come back.
    const QByteArray input = "Name;Ort;Nr\nAnna;Köln;1\nBen;Bonn;2\n";
    RunSettings s = settings();
    s.inputEditable = false;
    s.templates = {{0, QStringLiteral("<NAME>")}};
    s.clearedColumns = {1};
    QxtCsvModel model;
    const RunInput runInput = csvInput(s, input, model);
    model.setText(1, 0, QString());
    model.setText(2, 1, QStringLiteral("  "));
    model.setText(2, 2, QString());
    const RunResult result = ProcessingRun(s, runInput).exec();
    QVERIFY(result.success);
    const QByteArray output = readFile(path("out.csv"));
    QVERIFY(!output.contains("Anna"));
    QVERIFY(!output.contains("Bonn"));
    const QList<QByteArray> lines = output.split('\n');
    QCOMPARE(lines.at(1), QByteArray("\"\";\"\";\"1\""));
    QVERIFY(lines.at(2).endsWith(";\"  \";\"\""));
}

void TestCsvRun::editedTableIsCopiedExactly()
{
    // Edits reach the output whatever the form's format could carry: separators, quotes and
    // line breaks inside fields, characters outside the codec.
    const QByteArray input = "Name;Notiz;Nr\nAnna;a;1\nBen;b;2\n";
    RunSettings s = settings();
    s.inputEditable = true;
    s.readQuoteMode = 0;
    s.writeQuoteMode = 0;
    s.templates = {{0, QStringLiteral("<NUM>")}};
    QxtCsvModel model;
    const RunInput runInput = csvInput(s, input, model);
    model.setText(1, 1, QStringLiteral("x;y"));
    model.setText(2, 1, QStringLiteral("Zeile 1\nZeile \"2\""));
    model.setText(2, 2, QStringLiteral("€ ✓"));
    ProcessingRun run(s, runInput);
    const RunResult result = run.exec();
    QVERIFY(result.success);
    QCOMPARE(model.quoteFlags(), 0);
    QCOMPARE(result.outputCsvModel->rowCount(), 3);
    QCOMPARE(result.outputCsvModel->text(1, 1), QStringLiteral("x;y"));
    QCOMPARE(result.outputCsvModel->text(2, 1), QStringLiteral("Zeile 1\nZeile \"2\""));
    QCOMPARE(result.outputCsvModel->text(2, 2), QStringLiteral("€ ✓"));
    QCOMPARE(readFile(path("out.csv")),
             QByteArray("Name;Notiz;Nr\n1;\"x;y\";1\n2;\"Zeile 1\nZeile \"\"2\"\"\";€ ✓\n"));
}

void TestCsvRun::byteOrderMarkFollowsOutputEncoding_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("none") << QByteArray() << QByteArray("\xEF\xBB\xBF# K\nN\n1\n");
    QTest::newRow("UTF-8") << QByteArray("UTF-8") << QByteArray("\xEF\xBB\xBF# K\nN\n1\n");
    QTest::newRow("Latin-1") << QByteArray("ISO-8859-1") << QByteArray("# K\nN\n1\n");
    // The copied line is re-encoded: its mark said UTF-8, the table is written in UTF-16.
    QTest::newRow("UTF-16LE") << QByteArray("UTF-16LE")
                              << QByteArray("\xFF\xFE") +
            QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(u"# K\nN\n1\n"));
}

void TestCsvRun::byteOrderMarkFollowsOutputEncoding()
{
    QFETCH(QByteArray, codec);
    QFETCH(QByteArray, expected);

    RunSettings s = settings();
    s.codec = codec.isEmpty() ? nullptr : QTextCodec::codecForName(codec);
    s.inputHasBom = true;
    s.rowOffset = 2;
    s.writeQuoteMode = 0;
    s.templates = {{0, QStringLiteral("<NUM>")}};
    const RunResult result = runCsv(s, "\xEF\xBB\xBF# K\nN\nAnna\n");
    QVERIFY(result.success);
    QCOMPARE(readFile(path("out.csv")), expected);
}

void TestCsvRun::fieldsHoldingTheSeparatorStayInTheirRow()
{
    // Amounts scaled into decimal commas, in a comma-separated file written without quotes.
    RunSettings s = settings();
    s.separator = u',';
    s.readQuoteMode = 0;
    s.writeQuoteMode = 0;
    s.floatScaleFactor = 2;
    s.createMappingFile = true;
    s.columnCaptions = {QStringLiteral("1 [Betrag, brutto]"), QStringLiteral("2 [Name]")};
    s.templates = {{0, QStringLiteral("<AMOUNT_COMMA>")}};
    const RunResult result = runCsv(s, "Betrag,Name\n1234.00,Anna\n0.50,Ben\n");
    QVERIFY(result.success);
    QCOMPARE(readFile(path("out.csv")),
             QByteArray("Betrag,Name\n\"2468,00\",Anna\n\"1,00\",Ben\n"));
    QCOMPARE(readFile(result.writtenFiles.at(1)),
             QByteArray("\"1 [Betrag, brutto]\",\"1 [Betrag, brutto][neu]\"\n"
                        "1234.00,\"2468,00\"\n0.50,\"1,00\"\n"));
}

void TestCsvRun::diagnosticsHoldNoCellContents()
{
    static QStringList messages;
    messages.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("vondrel.*=true"));
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &context, const QString &message) {
            messages << QString::fromLatin1(context.category) + QLatin1Char(' ') + message;
        });

    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NAME>")}, {1, QStringLiteral("<IBAN>")}};
    s.clearedColumns = {2};
    const RunResult result =
        runCsv(s, "Name;IBAN;Notiz\nGeheimname;DE44500105175407324931;Vertraulich\n");
    // A failing run too: its messages may name files, never contents.
    s.exportFileName = s.inputFileName;
    runCsv(s, "Name;IBAN;Notiz\nGeheimname;DE44500105175407324931;Vertraulich\n");

    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    QVERIFY(result.success);
    QVERIFY(!messages.isEmpty());
    const QString all = messages.join(QLatin1Char('\n'));
    for (const char *secret : {"Geheimname", "DE4450", "Vertraulich", "00112233"})
        QVERIFY2(!all.contains(QLatin1String(secret)), secret);
    for (const MappingEntry &entry : result.mapping.value(0))
        QVERIFY(!all.contains(entry.pseudonym));
}

QTEST_GUILESS_MAIN(TestCsvRun)
#include "tst_csvrun.moc"
