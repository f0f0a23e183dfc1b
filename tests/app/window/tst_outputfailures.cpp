#include "FileSizeLimit.h"
#include "RunFixture.h"
#include "WindowTest.h"

#include <run/FileErrorMessage.h>
#include <run/MappingFile.h>
#include <run/ProcessingRun.h>
#include <script/ScriptStep.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using RunFixture::readFile;

namespace {

const QByteArray table = "Name;Ort\nAnna;Berlin\nBert;Köln\n";

} // namespace

// The files a run writes when they would land on a file the user must keep, or when the
// disk refuses them: nothing the user holds is lost, and the message says which file and why.
class TestOutputFailures : public WindowTest
{
    Q_OBJECT

private slots:
    void protectedFilesAreNeverReplaced_data();
    void protectedFilesAreNeverReplaced();
    void optionsFileTypedAsOutput();
    void failedMappingFileKeepsTheOldOutput_data();
    void failedMappingFileKeepsTheOldOutput();
    void mappingFileIsOwnerOnly();
    void failuresNameTheFileInGerman_data();
    void failuresNameTheFileInGerman();
    void scriptAndConfigurationFailuresNameTheFile();
    void systemErrorsInGerman_data();
    void systemErrorsInGerman();

private:
    // Settings of a CSV run over "eingabe.csv" into output, the first column pseudonymised.
    RunSettings settings(const QString &output) const;
};

RunSettings TestOutputFailures::settings(const QString &output) const
{
    RunSettings settings = RunFixture::csvSettings(path("eingabe.csv"), output);
    settings.templates.insert(0, QStringLiteral("<NAME>"));
    settings.columnCaptions = QStringList {"1 [Name]", "2 [Ort]"};
    settings.optionsFileName = path("vondrel.opt");
    settings.scriptFileName = path("skript.js");
    settings.configurationFileName = path("lieferung.vondrel.conf");
    return settings;
}

void TestOutputFailures::protectedFilesAreNeverReplaced_data()
{
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("asMapping");
    QTest::addColumn<QString>("name");

    const struct
    {
        const char *file;
        const char *name;
    } kept[] = {{"vondrel.opt", "die Optionsdatei mit dem Schlüssel"},
                {"skript.js", "die Scriptdatei"},
                {"lieferung.vondrel.conf", "die Konfigurationsdatei"},
                {"eingabe.csv", "die Eingabedatei"}};
    for (const auto &file : kept) {
        for (const char *how : {"name", "symlink", "hardlink"}) {
            for (const bool asMapping : {false, true}) {
                // The input as output has a message of its own.
                if (!asMapping && qstrcmp(file.file, "eingabe.csv") == 0)
                    continue;
                // The mapping file's name is the run's own; only a link leads elsewhere.
                if (asMapping && qstrcmp(how, "name") == 0)
                    continue;
                QTest::addRow("%s %s as %s", file.file, how, asMapping ? "mapping" : "output")
                    << file.file << how << asMapping << file.name;
            }
        }
    }
}

void TestOutputFailures::protectedFilesAreNeverReplaced()
{
    QFETCH(QString, kept);
    QFETCH(QString, how);
    QFETCH(bool, asMapping);
    QFETCH(QString, name);

    const QByteArray keptBytes = "[main]\nvmap=@Variant(kept)\n";
    for (const char *file : {"vondrel.opt", "skript.js", "lieferung.vondrel.conf"})
        writeFile(file, keptBytes);
    QxtCsvModel model;
    RunSettings run = settings(path("ausgabe.csv"));
    RunInput input = RunFixture::csvInput(run, table, model);
    const QByteArray keptBefore = readFile(path(kept));

    // The names the run will write to, each leading to the kept file.
    QStringList names;
    if (asMapping) {
        run.createMappingFile = true;
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second <= 2; ++second)
            names << MappingFile::pathFor(run.exportFileName, now.addSecs(second));
    } else {
        names << path("ausgabe.csv");
        run.exportFileName = how == QLatin1String("name") ? path("./") + kept : names.first();
    }
    for (const QString &target : std::as_const(names)) {
        if (how == QLatin1String("symlink"))
            QVERIFY(QFile::link(path(kept), target));
        else if (how == QLatin1String("hardlink"))
            QVERIFY(::link(QFile::encodeName(path(kept)), QFile::encodeName(target)) == 0);
    }

    ProcessingRun processing(run, std::move(input));
    const RunResult result = processing.exec();
    QVERIFY(!result.success);
    const QString written = asMapping ? QString() : run.exportFileName.trimmed();
    const QString expected = (asMapping ? QStringLiteral("Info:|Die Zuordnungsdatei darf nicht "
                                                         "%1 ersetzen:\r\n")
                                        : QStringLiteral("Fehler:|Die Ausgabedatei darf nicht %1 "
                                                         "ersetzen:\r\n"))
                                 .arg(name);
    const QString message = result.messageTitle + QLatin1Char('|') + result.messageText;
    QVERIFY2(message.startsWith(expected), qPrintable(message));
    QVERIFY(asMapping ? names.contains(message.mid(expected.size()))
                      : message.mid(expected.size()) == written);
    QCOMPARE(readFile(path(kept)), keptBefore);
}

void TestOutputFailures::optionsFileTypedAsOutput()
{
    // The key is in the options file from the first run on; the second run must keep it.
    choose(writeFile("eingabe.csv", table));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("ausgabe.csv"));
    press("tmp_testen");
    QCOMPARE(takePrompts(), QStringList({"Info:|Die Ausgabedatei wurde erstellt."}));
    const QString optionsFile = m_settingsDir->filePath(QStringLiteral("vondrel.opt"));
    QVERIFY(storedOptions().contains(QStringLiteral("pseudo_key")));

    // The configuration just saved is as much the user's as the options file.
    const QString configuration = path("lieferung.vondrel.conf");
    QVERIFY(m_dialog->saveConfigurationTo(configuration));
    const std::pair<QString, QString> kept[] = {
        {optionsFile, QStringLiteral("die Optionsdatei mit dem Schlüssel")},
        {configuration, QStringLiteral("die Konfigurationsdatei")}};
    for (const auto &[file, name] : kept) {
        const QByteArray before = readFile(file);
        setText("export_filename", file);
        press("tmp_testen");
        QCOMPARE(
            takePrompts(),
            QStringList({QStringLiteral("Fehler:|Die Ausgabedatei darf nicht %1 ersetzen:\r\n%2")
                             .arg(name, QDir::toNativeSeparators(file))}));
        QCOMPARE(readFile(file), before);
    }
}

void TestOutputFailures::failedMappingFileKeepsTheOldOutput_data()
{
    QTest::addColumn<bool>("sizeLimit");
    QTest::newRow("a folder in its place") << false;
    QTest::newRow("file size limit") << true;
}

void TestOutputFailures::failedMappingFileKeepsTheOldOutput()
{
    QFETCH(bool, sizeLimit);

    // Long names: the output holds only their short pseudonyms, the mapping file the names.
    QByteArray input = "Name;Ort\n";
    for (int row = 0; row < 50; ++row)
        input += QByteArray(400, char('a' + row % 26)) + QByteArray::number(row) + ";Berlin\n";
    QxtCsvModel model;
    RunSettings run = settings(path("ausgabe.csv"));
    run.createMappingFile = true;
    RunInput runInput = RunFixture::csvInput(run, input, model);
    writeFile("ausgabe.csv", "alt\n");

    RunResult result;
    ProcessingRun processing(run, std::move(runInput));
    if (sizeLimit) {
        const FileSizeLimit limit(8000);
        QVERIFY(limit.isActive());
        result = processing.exec();
    } else {
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second <= 2; ++second)
            QVERIFY(QDir().mkpath(MappingFile::pathFor(run.exportFileName, now.addSecs(second))));
        result = processing.exec();
    }
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, QStringLiteral("Info:"));
    QVERIFY2(result.messageText.startsWith(
                 QLatin1String("Die Zuordnungsdatei konnte nicht erstellt werden.")),
             qPrintable(result.messageText));
    QCOMPARE(readFile(path("ausgabe.csv")), QByteArray("alt\n"));
    // Nothing new beside it: no mapping file, no temporary file left behind.
    QStringList after = QDir(m_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    QCOMPARE(after, QStringList({"ausgabe.csv", "eingabe.csv"}));
    QVERIFY(result.writtenFiles.isEmpty());
}

void TestOutputFailures::mappingFileIsOwnerOnly()
{
    QxtCsvModel model;
    RunSettings run = settings(path("ausgabe.csv"));
    run.createMappingFile = true;
    RunInput input = RunFixture::csvInput(run, table, model);
    // Also over an earlier mapping file of the same name that anyone may read.
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second <= 2; ++second) {
        const QString earlier = MappingFile::pathFor(run.exportFileName, now.addSecs(second));
        RunFixture::writeFile(earlier, "alt\n");
        QVERIFY(QFile::setPermissions(
            earlier, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    const mode_t umaskBefore = ::umask(0);
    ProcessingRun processing(run, std::move(input));
    const RunResult result = processing.exec();
    ::umask(umaskBefore);
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.writtenFiles.size(), 2);
    struct stat info
    {
    };
    QVERIFY(::stat(QFile::encodeName(result.writtenFiles.at(1)).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0600));
    QVERIFY(readFile(result.writtenFiles.at(1)).contains("Anna"));
}

void TestOutputFailures::failuresNameTheFileInGerman_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("reason"); // empty: any German reason

    const QString output = QStringLiteral("Die Ausgabedatei konnte nicht erstellt werden.");
    QTest::newRow("folder missing") << "folder missing"
                                    << "Fehler:" << output << "Der Ordner „%1“ existiert nicht.";
    QTest::newRow("a folder in its place")
        << "output folder"
        << "Fehler:" << output << "Der Name bezeichnet einen Ordner.";
    QTest::newRow("read-only file") << "read-only"
                                    << "Fehler:" << output << "";
    QTest::newRow("mapping file a folder") << "mapping folder"
                                           << "Info:"
                                           << "Die Zuordnungsdatei konnte nicht erstellt werden."
                                           << "Der Name bezeichnet einen Ordner.";
}

void TestOutputFailures::failuresNameTheFileInGerman()
{
    QFETCH(QString, setup);
    QFETCH(QString, title);
    QFETCH(QString, firstLine);
    QFETCH(QString, reason);

    QxtCsvModel model;
    RunSettings run = settings(setup == QLatin1String("folder missing") ? path("fehlt/aus.csv")
                                                                        : path("aus.csv"));
    RunInput input = RunFixture::csvInput(run, table, model);
    QString failed = run.exportFileName;
    if (setup == QLatin1String("output folder")) {
        QVERIFY(QDir().mkpath(failed));
    } else if (setup == QLatin1String("read-only")) {
        writeFile("aus.csv", "alt\n");
        QVERIFY(QFile::setPermissions(failed, QFile::ReadOwner));
        if (QFileInfo(failed).isWritable())
            QSKIP("Permissions do not bind this user (root)");
    } else if (setup == QLatin1String("mapping folder")) {
        run.createMappingFile = true;
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second <= 2; ++second)
            QVERIFY(QDir().mkpath(MappingFile::pathFor(run.exportFileName, now.addSecs(second))));
    }

    ProcessingRun processing(run, std::move(input));
    const RunResult result = processing.exec();
    QVERIFY(!result.success);
    QCOMPARE(result.messageTitle, title);
    const QStringList lines = result.messageText.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), firstLine);
    if (setup == QLatin1String("mapping folder"))
        failed = lines.at(1);
    QCOMPARE(lines.at(1), QDir::toNativeSeparators(failed));
    if (!reason.isEmpty())
        QCOMPARE(lines.at(2), reason.arg(QDir::toNativeSeparators(path("fehlt"))));
    for (const char *english : {"No such", "not writable", "directory", "Unknown error"})
        QVERIFY2(!result.messageText.contains(QLatin1String(english)), english);
}

void TestOutputFailures::scriptAndConfigurationFailuresNameTheFile()
{
    // A folder in the script's place: it exists, so the run goes on to read it.
    const QString script = path("skript.js");
    QVERIFY(QDir().mkpath(script));
    QxtCsvModel model;
    RunFixture::loadCsv(model, table, settings(path("aus.csv")));
    ScriptStep::Setup setup;
    setup.scriptFileName = script;
    ScriptTarget target;
    target.model = &model;
    const ScriptStep step(setup);
    step(target);
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Fehler:|Die Scriptdatei konnte nicht "
                                         "geladen werden:\r\n%1\r\nDer Name "
                                         "bezeichnet einen Ordner.")
                              .arg(QDir::toNativeSeparators(script))}));

    const QString configuration = path("weg.vondrel.conf");
    QVERIFY(!m_dialog->loadConfigurationFrom(configuration));
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Die Konfiguration konnte "
                                         "nicht geladen werden:\r\n%1\r\nDie "
                                         "Datei existiert nicht.")
                              .arg(QDir::toNativeSeparators(configuration))}));
}

void TestOutputFailures::systemErrorsInGerman_data()
{
    QTest::addColumn<int>("systemError");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("read-only file system")
        << EROFS << int(QFileDevice::OpenError) << "Der Datenträger ist schreibgeschützt.";
    QTest::newRow("disk full") << ENOSPC << int(QFileDevice::WriteError)
                               << "Auf dem Datenträger ist nicht genug Platz.";
    QTest::newRow("quota") << EDQUOT << int(QFileDevice::WriteError)
                           << "Auf dem Datenträger ist nicht genug Platz.";
    QTest::newRow("not writable") << EACCES << int(QFileDevice::WriteError)
                                  << "Keine Berechtigung für die Datei oder ihren Ordner.";
    QTest::newRow("too many files")
        << EMFILE << int(QFileDevice::OpenError) << "Es sind zu viele Dateien geöffnet.";
    // Without a number, by the kind of error.
    QTest::newRow("write error") << 0 << int(QFileDevice::WriteError)
                                 << "Beim Schreiben ist ein Fehler aufgetreten, etwa weil der "
                                    "Datenträger voll ist.";
    QTest::newRow("rename") << 0 << int(QFileDevice::RenameError)
                            << "Die fertige Datei konnte nicht an ihren Platz gebracht werden.";
    QTest::newRow("nothing known")
        << 0 << int(QFileDevice::UnspecifiedError) << "Die Datei konnte nicht geschrieben werden.";
}

void TestOutputFailures::systemErrorsInGerman()
{
    QFETCH(int, systemError);
    QFETCH(int, kind);
    QFETCH(QString, reason);

    QCOMPARE(FileErrorMessage::reason(path("aus.csv"), FileErrorMessage::Access::Write,
                                      QFileDevice::FileError(kind), systemError),
             reason);
}

QTEST_MAIN(TestOutputFailures)
#include "tst_outputfailures.moc"
