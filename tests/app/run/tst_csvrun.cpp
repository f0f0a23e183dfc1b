#include "AddressSpaceLimit.h"
#include "AppTest.h"
#include "FileSizeLimit.h"
#include "RunFixture.h"

#include <run/MappingFile.h>
#include <run/ProcessingRun.h>
#include <tables/QxtCsvModel.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextCodec>

#include <sys/stat.h>
#include <unistd.h>

using namespace RunFixture;

namespace {

const QString created = QStringLiteral("Die Ausgabedatei wurde erstellt.");
const QString notCreated = QStringLiteral("Die Ausgabedatei konnte nicht erstellt werden.");

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray otherKey()
{
    return QByteArray::fromHex("0f1e2d3c4b5a69788796a5b4c3d2e1f0");
}

QByteArray manyRows(int rows, int nameLength)
{
    QByteArray bytes = "Name;Nr\n";
    for (int i = 0; i < rows; ++i)
        bytes += QByteArray::number(i).rightJustified(nameLength, 'n') + ";" +
            QByteArray::number(i) + "\n";
    return bytes;
}

} // namespace

class TestCsvRun : public AppTest
{
    Q_OBJECT

private slots:
    void writesOutputByteForByte_data();
    void writesOutputByteForByte();
    void pseudonymisesAndMapsEachDistinctValue();
    void runningNumbersCountOnAcrossColumns();
    void resultsDoNotDependOnThreads_data();
    void resultsDoNotDependOnThreads();
    void runOutOfMemoryFailsCleanly_data();
    void runOutOfMemoryFailsCleanly();
    void outOfMemoryRunInAFreshProcess();
    void unreadValuesAreCounted_data();
    void unreadValuesAreCounted();
    void newKeyIsStoredBeforeTheOutput();

    void refusesAndKeepsEveryFile_data();
    void refusesAndKeepsEveryFile();
    void reportsAFailedMappingFile();

    void copyFollowsTheEditedTable();
    void fieldsHoldingTheSeparatorStayInTheirRow();
    void diagnosticsHoldNoCellContents();

private:
    RunSettings settings() const { return csvSettings(path("in.csv"), path("out.csv")); }
    QByteArray output() const { return readFile(path("out.csv")); }
};

void TestCsvRun::writesOutputByteForByte_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("rowOffset");
    QTest::addColumn<bool>("hasTitle");
    QTest::addColumn<bool>("removeMetaData");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("codec"); // empty: UTF-8

    // The first column is numbered, so that repeats show the cache: Anna is 1 both times.
    QTest::newRow("offset 1, LF") << QByteArray("Name;Nr\nAnna;x\nBen;y\nAnna;z\n") << 1 << true
                                  << false
                                  << QByteArray("\"Name\";\"Nr\"\n\"1\";\"x\"\n\"2\";\"y\"\n"
                                                "\"1\";\"z\"\n")
                                  << QByteArray();
    QTest::newRow("offset 0 counts as 1, CRLF")
        << QByteArray("Name;Nr\r\nAnna;x\r\n") << 0 << true << false
        << QByteArray("\"Name\";\"Nr\"\n\"1\";\"x\"\n") << QByteArray();
    QTest::newRow("offset 4, comment lines, CRLF")
        << QByteArray("# Export\r\n# Stand: heute\r\n# ---\r\nName;Nr\r\nAnna;x\r\nBen;y\r\n") << 4
        << true << false
        << QByteArray("# Export\r\n# Stand: heute\r\n# ---\r\n\"Name\";\"Nr\"\n\"1\";\"x\"\n"
                      "\"2\";\"y\"\n")
        << QByteArray();
    QTest::newRow("offset 2, no title")
        << QByteArray("# Kopf\nAnna;x\nBen;y\n") << 2 << false << false
        << QByteArray("# Kopf\n\"1\";\"x\"\n\"2\";\"y\"\n") << QByteArray();
    QTest::newRow("UTF-8 mark, copied line")
        << QByteArray("\xEF\xBB\xBF# Kopf\nName;Ort\nJürgen;Köln\n") << 2 << true << false
        << QByteArray("\xEF\xBB\xBF# Kopf\n\"Name\";\"Ort\"\n\"1\";\"Köln\"\n") << QByteArray();
    QTest::newRow("UTF-8 mark, metadata removed")
        << QByteArray("\xEF\xBB\xBF# Kopf\nName;Ort\nJürgen;Köln\n") << 2 << true << true
        << QByteArray("\xEF\xBB\xBF\"Name\";\"Ort\"\n\"1\";\"Köln\"\n") << QByteArray();
    // The mark follows the output encoding; the copied line is re-encoded with the table.
    const QByteArray marked = "\xEF\xBB\xBF# K\nN\nAnna\n";
    QTest::newRow("UTF-8 mark, Latin-1 output")
        << marked << 2 << true << false << QByteArray("# K\n\"N\"\n\"1\"\n")
        << QByteArray("ISO-8859-1");
    QTest::newRow("UTF-8 mark, UTF-16LE output") << marked << 2 << true << false
                                                 << QByteArray("\xFF\xFE") +
            QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(u"# K\n\"N\"\n\"1\"\n"))
                                                 << QByteArray("UTF-16LE");
    // No data row at all: nothing to pseudonymise, the table is written from its first line.
    QTest::newRow("file shorter than the start row")
        << QByteArray("Anna;x\nBen;y\n") << 5 << true << false
        << QByteArray("\"Anna\";\"x\"\n\"Ben\";\"y\"\n") << QByteArray();
}

void TestCsvRun::writesOutputByteForByte()
{
    QFETCH(QByteArray, input);
    QFETCH(int, rowOffset);
    QFETCH(bool, hasTitle);
    QFETCH(bool, removeMetaData);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, codec);

    RunSettings s = settings();
    s.codec = codec.isEmpty() ? nullptr : QTextCodec::codecForName(codec);
    s.rowOffset = rowOffset;
    s.hasTitle = hasTitle;
    s.removeMetaData = removeMetaData;
    s.inputHasBom = input.startsWith("\xEF\xBB\xBF");
    s.templates = {{0, QStringLiteral("<NUM>")}};
    const RunResult result = runCsv(s, input);
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QCOMPARE(result.messageText, created);
    QCOMPARE(output(), expected);
    QCOMPARE(readFile(path("in.csv")), input);
}

void TestCsvRun::pseudonymisesAndMapsEachDistinctValue()
{
    const QByteArray input = "Name;Ort;IBAN;Notiz\n"
                             "Anna Berg;Köln;DE44500105175407324931;frei\n"
                             "Ben Cohn;Bonn;DE89370400440532013000;frei\n"
                             "Anna Berg;Köln;DE44500105175407324931;bleibt\n"
                             "Cleo Dorn;Aachen;DE44500105175407324931;frei\n";
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NAME>")},
                   {1, QStringLiteral("<PLACE>")},
                   {2, QStringLiteral("<IBAN>")},
                   {3, QStringLiteral("<TEXT>")}};
    s.clearedColumns = {3}; // cleared wins over the template: no mapping entries
    s.columnCaptions = {"1 [Name]", "2 [Ort]", "3 [IBAN]", "4 [Notiz]"};
    const RunResult result = runCsv(s, input);
    QVERIFY(result.success);

    const QByteArray out = output();
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QVERIFY(lines.at(1).endsWith(";\"\""));
    QCOMPARE(lines.at(3).chopped(3), lines.at(1).chopped(3)); // a repeat, the same pseudonyms

    // The mapping: distinct values in order of first occurrence, padded to the longest column.
    QCOMPARE(result.mapping.keys(), QList<int>({0, 1, 2}));
    QStringList places;
    QList<int> orders;
    for (const MappingEntry &entry : result.mapping.value(1).entries()) {
        places << entry.inputText;
        orders << entry.order;
    }
    QCOMPARE(places, QStringList({"Köln", "Bonn", "Aachen"}));
    QCOMPARE(orders, QList<int>({1, 2, 4}));
    QCOMPARE(result.mapping.value(2).size(), 2);
    QCOMPARE(result.writtenFiles.size(), 2);
    QVERIFY(QRegularExpression(QStringLiteral("/vondrel_map_\\d{8}_\\d{6}\\.csv$"))
                .match(result.writtenFiles.at(1))
                .hasMatch());
    QCOMPARE(QFileInfo(result.writtenFiles.at(1)).absolutePath(), m_dir->path());
    const QList<QByteArray> mapping = readFile(result.writtenFiles.at(1)).split('\n');
    QCOMPARE(mapping.at(0),
             QByteArray("\"1 [Name]\";\"1 [Name][neu]\";\"2 [Ort]\";\"2 [Ort][neu]\";"
                        "\"3 [IBAN]\";\"3 [IBAN][neu]\""));
    QVERIFY(mapping.at(3).startsWith("\"Cleo Dorn\";\"name"));
    QVERIFY(mapping.at(3).endsWith(";\"\";\"\""));
    QCOMPARE(mapping.size(), 5); // header, three rows, end of the last line

    // Keyed columns repeat under one key and change with another.
    QVERIFY(runCsv(s, input).success);
    QCOMPARE(output(), out);
    s.storedKey = otherKey();
    QVERIFY(runCsv(s, input).success);
    QVERIFY(output().split('\n').at(1) != lines.at(1));
}

void TestCsvRun::runningNumbersCountOnAcrossColumns()
{
    // Row by row, left to right: new values of either column take the next number.
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NUM>")}, {1, QStringLiteral("K-<NUM>")}};
    QVERIFY(runCsv(s, "A;B\na;x\nb;x\na;y\n").success);
    QCOMPARE(output(), QByteArray("\"A\";\"B\"\n\"1\";\"K-2\"\n\"3\";\"K-2\"\n\"1\";\"K-4\"\n"));
    // A second run starts again at 1. Without a pseudonymised column the mapping file is empty.
    s.templates.clear();
    s.clearedColumns = {0};
    s.templates = {{0, QStringLiteral("<NUM>")}};
    const RunResult result = runCsv(s, "A;B\nq;r\n");
    QVERIFY(result.success);
    QCOMPARE(output(), QByteArray("\"A\";\"B\"\n\"\";\"r\"\n"));
    QCOMPARE(QFileInfo(result.writtenFiles.at(1)).size(), 0);
    s.clearedColumns.clear();
    QVERIFY(runCsv(s, "A;B\nq;r\n").success);
    QCOMPARE(output(), QByteArray("\"A\";\"B\"\n\"1\";\"r\"\n"));
}

void TestCsvRun::resultsDoNotDependOnThreads_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("two threads") << 2;
    QTest::newRow("three threads") << 3;
    QTest::newRow("eight threads") << 8;
}

void TestCsvRun::resultsDoNotDependOnThreads()
{
    QFETCH(int, threads);
    // Order-dependent columns (IBAN, running number, an amount with text around it) between
    // text-only ones, over enough distinct values and rows to be split among threads,
    // registered in several rounds while earlier rounds get their results, and written in
    // several blocks.
    QByteArray input = "Name;IBAN;Nr;Datum;Betrag;Mail;Strasse;USt;Summe\n";
    for (int i = 0; i < 40000; ++i) {
        input += "Name " + QByteArray::number(i % 1700) + ";DE" + QByteArray::number(10 + i % 89) +
            "37040044053201" + QByteArray::number(1000 + i % 900) + ";" +
            QByteArray::number(i % 500) + ";" + QByteArray::number(1 + i % 28) + ".0" +
            QByteArray::number(1 + i % 9) + ".2020;" + QByteArray::number(i) + ",50;m" +
            QByteArray::number(i % 2100) + "@x.de;Weg " + QByteArray::number(i % 1300) + " " +
            QByteArray::number(1 + i % 40) + "a;de " + QByteArray::number(100000000 + i % 2500) +
            ";" + QByteArray::number(i % 7000) + ",25\n";
    }
    RunSettings s = settings();
    s.floatScaleFactor = 3;
    s.dateShiftPerDataSet = false;
    s.simulateReal = true;
    s.templates = {{0, QStringLiteral("<NAME>")},
                   {1, QStringLiteral("<IBAN>")},
                   {2, QStringLiteral("<NUM>")},
                   {3, QStringLiteral("<DATE>")},
                   {4, QStringLiteral("<AMOUNT_COMMA>")},
                   {5, QStringLiteral("<EMAIL>")},
                   {6, QStringLiteral("<STREET_NO>")},
                   {7, QStringLiteral("<VATID>")},
                   {8, QStringLiteral("<AMOUNT_COMMA> EUR")}};

    QxtCsvModel model;
    const RunResult single = runCsv(s, input, model, 1);
    QVERIFY(single.success);
    const QByteArray sequential = output();
    QxtCsvModel model2;
    const RunResult parallel = runCsv(s, input, model2, threads);
    QVERIFY(parallel.success);
    QCOMPARE(output(), sequential);
    // Blocks written on several threads make the bytes one writer makes.
    QBuffer oneWriter;
    parallel.outputCsvModel->setQuoteFlags(s.writeQuoteMode);
    QVERIFY(parallel.outputCsvModel->writeCsv(&oneWriter, false, u';', nullptr, 0));
    QCOMPARE(sequential, oneWriter.data());
    QCOMPARE(parallel.mapping.keys(), single.mapping.keys());
    for (int column : single.mapping.keys()) {
        const QList<MappingEntry> a = single.mapping.value(column).entries();
        const QList<MappingEntry> b = parallel.mapping.value(column).entries();
        QCOMPARE(a.size(), b.size());
        for (qsizetype i = 0; i < a.size(); ++i)
            QVERIFY(b.at(i).order == a.at(i).order && b.at(i).pseudonym == a.at(i).pseudonym);
    }
}

void TestCsvRun::runOutOfMemoryFailsCleanly_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("one thread") << 1;
    QTest::newRow("four threads") << 4;
}

// Memory that runs out in the middle of a run, on any of its threads, fails the run with a
// message instead of ending the program, and leaves no file behind. The run goes to a process
// of its own: memory that earlier runs reserved and freed would leave it room to succeed.
void TestCsvRun::runOutOfMemoryFailsCleanly()
{
    if (!AddressSpaceLimit::usable)
        QSKIP("The address sanitizer needs more address space than the limit leaves");
    QFETCH(int, threads);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VONDREL_OUT_OF_MEMORY_RUN"), QString::number(threads));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("outOfMemoryRunInAFreshProcess")});
    QVERIFY(child.waitForFinished(300000));
    const QByteArray report = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             report.constData());
    QVERIFY2(report.contains("PASS   : TestCsvRun::outOfMemoryRunInAFreshProcess()"),
             report.constData());
}

void TestCsvRun::outOfMemoryRunInAFreshProcess()
{
    const int threads = qEnvironmentVariableIntValue("VONDREL_OUT_OF_MEMORY_RUN");
    if (threads <= 0)
        QSKIP("Started by runOutOfMemoryFailsCleanly in a process of its own");
    // Distinct values in every column: their results need far more than the room left.
    QByteArray input = "Name;IBAN;Mail;Betrag\n";
    for (int i = 0; i < 300000; ++i) {
        const QByteArray n = QByteArray::number(i);
        input += "Name " + n + ";DE" + QByteArray::number(10 + i % 89) + "3704004405320" + n +
            ";m" + n + "@beispiel.de;" + n + ",25\n";
    }
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NAME>")},
                   {1, QStringLiteral("<IBAN>")},
                   {2, QStringLiteral("<EMAIL>")},
                   {3, QStringLiteral("<AMOUNT_COMMA> EUR")}};
    QxtCsvModel model;
    const RunInput loaded = csvInput(s, input, model);
    input.clear();
    input.squeeze();

    RunResult result;
    {
        const AddressSpaceLimit limit(qint64(48) << 20);
        QVERIFY(limit.isActive());
        ProcessingRun run(s, loaded);
        run.setThreads(threads);
        result = run.exec();
    }

    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Fehler:"));
    QVERIFY(result.messageText.contains(QStringLiteral("Arbeitsspeicher")));
    QVERIFY(!result.outputCsvModel);
    QCOMPARE(QDir(path(QStringLiteral("."))).entryList(QDir::Files), QStringList({"in.csv"}));

    // With room again, the same run works.
    ProcessingRun again(s, loaded);
    again.setThreads(threads);
    QVERIFY(again.exec().success);
    QVERIFY(!output().contains("Name 1;"));
}

void TestCsvRun::unreadValuesAreCounted_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QByteArray>("readable");
    QTest::addColumn<int>("unread");
    QTest::newRow("date") << QStringLiteral("<DATE>") << QByteArray("16.08.1993") << 3;
    QTest::newRow("date-time") << QStringLiteral("<DATETIME>") << QByteArray("16.08.1993 10:15:00")
                               << 3;
    QTest::newRow("date to text") << QStringLiteral("<DATE_CONVERT>") << QByteArray("16.08.1993")
                                  << 3;
    QTest::newRow("date-time to text")
        << QStringLiteral("<DATETIME_CONVERT>") << QByteArray("16.08.1993 10:15:00") << 3;
    // Text around the placeholder keeps the result from being empty.
    QTest::newRow("mixed template") << QStringLiteral("am <DATE>") << QByteArray("16.08.1993") << 0;
    QTest::newRow("not a date type") << QStringLiteral("<NAME>") << QByteArray("Anna") << 0;
}

// Each cell counts, repeated texts too; blank cells and readable values do not.
void TestCsvRun::unreadValuesAreCounted()
{
    QFETCH(QString, templateText);
    QFETCH(QByteArray, readable);
    QFETCH(int, unread);
    RunSettings s = settings();
    s.templates = {{1, templateText}};
    const QByteArray input =
        "Nr;Wert\n1;1993-08-16\n2;" + readable + "\n3;1993-08-16\n4; \n5;\n" + "6;irgendwann\n";
    const RunResult result = runCsv(s, input);
    QVERIFY(result.success);
    QMap<int, qsizetype> expected;
    if (unread)
        expected.insert(1, unread);
    QCOMPARE(result.unreadValues, expected);
}

void TestCsvRun::newKeyIsStoredBeforeTheOutput()
{
    const QByteArray input = "Name\nAnna\n";
    const struct
    {
        QByteArray stored;
        bool replaced;
    } cases[] = {
        {QByteArray("kurz"), true},
        {QByteArray::fromHex("0001000100010001000100010001000a"), true}, // 3 distinct bytes
        {key(), false},
        {key() + otherKey(), false},
    };
    for (const auto &test : cases) {
        writeFile("out.csv", "alt\n");
        RunSettings s = settings();
        s.storedKey = test.stored;
        s.templates = {{0, QStringLiteral("<NAME>")}};
        QxtCsvModel model;
        ProcessingRun run(s, csvInput(s, input, model));
        QList<QByteArray> stored;
        QByteArray outputWhenStored;
        run.setKeyStore([&](const QByteArray &newKey) {
            stored << newKey;
            outputWhenStored = output();
            return QString();
        });
        const RunResult result = run.exec();
        QVERIFY(result.success);
        QCOMPARE(stored.size(), test.replaced ? 1 : 0);
        QCOMPARE(result.newKey, stored.value(0));
        if (!test.replaced)
            continue;
        QCOMPARE(stored.first().size(), 16);
        QCOMPARE(outputWhenStored, QByteArray("alt\n"));
        // The stored key gives the output again, and is kept by the next run.
        const QByteArray first = output();
        s.storedKey = stored.first();
        const RunResult again = runCsv(s, input);
        QVERIFY(again.newKey.isEmpty());
        QCOMPARE(output(), first);
    }
}

void TestCsvRun::refusesAndKeepsEveryFile_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text"); // empty: any text

    const QString fehler = QStringLiteral("Fehler:");
    const QString sameFile =
        QStringLiteral("Die Eingabedatei und die Ausgabedatei müssen unterschiedlich sein.");
    QTest::newRow("same name") << ""
                               << "in.csv" << fehler << sameFile;
    QTest::newRow("dot slash") << ""
                               << "./in.csv" << fehler << sameFile;
    QTest::newRow("parent and back") << ""
                                     << "../%1/in.csv" << fehler << sameFile;
    QTest::newRow("trailing blank") << ""
                                    << "in.csv " << fehler << sameFile;
    QTest::newRow("hard link") << ""
                               << "hard.csv" << fehler << sameFile;
    QTest::newRow("symbolic link") << ""
                                   << "soft.csv" << fehler << sameFile;
    // The field names another file than the one whose bytes were loaded.
    QTest::newRow("file loaded") << "other field"
                                 << "in.csv" << fehler << sameFile;
    // A save file would put a plain file in place of a device node.
    QTest::newRow("pipe") << ""
                          << "pipe.csv" << fehler << "";
    QTest::newRow("device") << ""
                            << "/dev/full" << fehler << "";
    QTest::newRow("no files allowed") << ""
                                      << "/proc/vondrel-out.csv" << fehler << "";
    QTest::newRow("read-only directory") << "read-only"
                                         << "out.csv" << fehler << "";
    // The user cancelled loading: rows past that point must not pass unchanged.
    QTest::newRow("incomplete load")
        << "cancelled"
        << "out.csv" << fehler
        << "Die Daten wurden nicht vollständig geladen. Bitte die Eingabedatei neu laden.";
    // Which file, and why, in German.
    QTest::newRow("disk full") << "full"
                               << "out.csv"
                               << "Info:"
                               << notCreated +
            QStringLiteral("\r\n%1\r\nDie Datei überschreitet die erlaubte Dateigröße.");
}

void TestCsvRun::refusesAndKeepsEveryFile()
{
    QFETCH(QString, setup);
    QFETCH(QString, target);
    QFETCH(QString, title);
    QFETCH(QString, text);

    const QByteArray input = setup == QLatin1String("cancelled") || setup == QLatin1String("full")
        ? manyRows(200000, 8)
        : QByteArray("Name\nAnna\n");
    writeFile("out.csv", "alt\n");
    writeFile("other.csv", "x\n");
    writeFile("in.csv", input);
    QVERIFY(::link(QFile::encodeName(path("in.csv")), QFile::encodeName(path("hard.csv"))) == 0);
    QVERIFY(QFile::link(path("in.csv"), path("soft.csv")));
    QVERIFY(::mkfifo(QFile::encodeName(path("pipe.csv")), 0600) == 0);
    const QStringList files = filesIn(m_dir->path());

    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}};
    if (setup == QLatin1String("other field"))
        s.inputFileName = path("other.csv");
    const QString relative =
        target.contains(u'%') ? target.arg(QFileInfo(m_dir->path()).fileName()) : target;
    s.exportFileName =
        relative.startsWith(u'/') || relative.startsWith(u'.') ? relative : path(relative);

    if (setup == QLatin1String("cancelled"))
        QxtCsvModel::setProgressHook([](qint64) {
            return [](qint64 read) {
                return read == 0;
            };
        });
    QxtCsvModel model;
    loadCsv(model, input, s);
    QxtCsvModel::setProgressHook({});
    RunInput runInput;
    runInput.csvModel = &model;
    runInput.rawInput = input;
    ProcessingRun run(s, runInput);
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    const QFile::Permissions permissions = QFile::permissions(m_dir->path());
    bool permissionsBind = true;
    if (setup == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
        permissionsBind = ::access(QFile::encodeName(m_dir->path()), W_OK) != 0;
    }
    RunResult result;
    if (setup == QLatin1String("full")) {
        const FileSizeLimit limit(64 * 1024);
        result = run.exec();
    } else {
        result = run.exec();
    }
    QFile::setPermissions(m_dir->path(), permissions);
    QDir::setCurrent(previous);
    if (!permissionsBind)
        QSKIP("Permissions do not bind this user (root)");

    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, title);
    if (text.isEmpty())
        QVERIFY(!result.messageText.isEmpty());
    else
        QCOMPARE(result.messageText, text.arg(QDir::toNativeSeparators(path(target))));
    QVERIFY(result.writtenFiles.isEmpty());
    QCOMPARE(readFile(path("in.csv")), input);
    QCOMPARE(output(), QByteArray("alt\n"));
    QCOMPARE(filesIn(m_dir->path()), files);
    struct stat info
    {
    };
    QVERIFY(::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode));
    QVERIFY(!QFile::exists(QStringLiteral("/proc/vondrel-out.csv")));
}

void TestCsvRun::reportsAFailedMappingFile()
{
    // Long distinct names: the output holds only their short pseudonyms, the mapping file
    // the names as well, so a size limit between the two stops the mapping file alone.
    const QByteArray input = manyRows(2000, 200);
    RunSettings s = settings();
    s.createMappingFile = true;
    s.templates = {{0, QStringLiteral("<NAME>")}};
    QxtCsvModel model;
    ProcessingRun run(s, csvInput(s, input, model));
    RunResult result;
    // The mapping file's name holds the second the run wrote it.
    const QDateTime started = QDateTime::currentDateTime();
    {
        const FileSizeLimit limit(200 * 1024);
        result = run.exec();
    }
    const QDateTime ended = QDateTime::currentDateTime();
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QStringList messages;
    for (QDateTime at = started; at.toSecsSinceEpoch() <= ended.toSecsSinceEpoch();
         at = at.addSecs(1)) {
        messages << QStringLiteral("Die Zuordnungsdatei konnte nicht erstellt werden.\r\n%1\r\n"
                                   "Die Datei überschreitet die erlaubte Dateigröße.")
                        .arg(QDir::toNativeSeparators(MappingFile::pathFor(path("out.csv"), at)));
    }
    QVERIFY2(messages.contains(result.messageText), qPrintable(result.messageText));
    // Neither file without the other.
    QVERIFY(result.writtenFiles.isEmpty());
    QCOMPARE(filesIn(m_dir->path()), QStringList({"in.csv"}));
}

void TestCsvRun::copyFollowsTheEditedTable()
{
    const QByteArray input = "Name;Ort;Nr\nAnna;Köln;1\nBen;Bonn;2\n";
    // Not editable: the copy comes from the file's bytes, yet cells the user emptied before
    // must not come back; whether the copy is read cell by cell (one column copied) or row
    // by row (most columns copied).
    RunSettings s = settings();
    s.templates = {{0, QStringLiteral("<NAME>")}};
    QxtCsvModel model;
    RunInput runInput;
    for (const bool clearTown : {true, false}) {
        s.clearedColumns = clearTown ? QSet<int>({1}) : QSet<int>();
        runInput = csvInput(s, input, model);
        model.setText(1, 0, QString());
        model.setText(2, 1, QStringLiteral("  "));
        model.setText(2, 2, QString());
        QVERIFY(ProcessingRun(s, runInput).exec().success);
        const QList<QByteArray> lines = output().split('\n');
        QCOMPARE(lines.at(1),
                 clearTown ? QByteArray("\"\";\"\";\"1\"") : QByteArray("\"\";\"Köln\";\"1\""));
        QVERIFY(QRegularExpression(QStringLiteral("^\"name[a-z]{14}\";\"  \";\"\"$"))
                    .match(QString::fromUtf8(lines.at(2)))
                    .hasMatch());
    }

    // Editable: the copy carries what the form's format could not (separators, quotes and
    // line breaks inside fields, characters outside the codec), and the input keeps its mode.
    s.inputEditable = true;
    s.readQuoteMode = 0;
    s.writeQuoteMode = 0;
    s.clearedColumns.clear();
    s.templates = {{0, QStringLiteral("<NUM>")}};
    runInput = csvInput(s, input, model);
    model.setText(1, 1, QStringLiteral("x;y"));
    model.setText(2, 1, QStringLiteral("Zeile 1\nZeile \"2\""));
    model.setText(2, 2, QStringLiteral("€ ✓"));
    const RunResult result = ProcessingRun(s, runInput).exec();
    QVERIFY(result.success);
    QCOMPARE(model.quoteFlags(), 0);
    QCOMPARE(result.outputCsvModel->text(2, 1), QStringLiteral("Zeile 1\nZeile \"2\""));
    QCOMPARE(output(),
             QByteArray("Name;Ort;Nr\n1;\"x;y\";1\n2;\"Zeile 1\nZeile \"\"2\"\"\";€ ✓\n"));
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
    QCOMPARE(output(), QByteArray("Betrag,Name\n\"2468,00\",Anna\n\"1,00\",Ben\n"));
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
    s.storedKey.clear(); // a new key is made, and must not be logged either
    s.templates = {{0, QStringLiteral("<NAME>")}, {1, QStringLiteral("<IBAN>")}};
    s.clearedColumns = {2};
    const QByteArray input = "Name;IBAN;Notiz\nGeheimname;DE44500105175407324931;Vertraulich\n";
    const RunResult result = runCsv(s, input);
    s.exportFileName = s.inputFileName; // a refused run too
    runCsv(s, input);

    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    QVERIFY(result.success);
    QVERIFY(!messages.isEmpty());
    const QString all = messages.join(QLatin1Char('\n'));
    QStringList secrets = {"Geheimname", "DE4450", "Vertraulich",
                           QString::fromLatin1(result.newKey.toHex())};
    for (const MappingEntry &entry : result.mapping.value(0).entries())
        secrets << entry.pseudonym;
    for (const QString &secret : secrets)
        QVERIFY2(!all.contains(secret), qPrintable(secret));
}

QTEST_GUILESS_MAIN(TestCsvRun)
#include "tst_csvrun.moc"
