#include "FileSizeLimit.h"
#include "RunFixture.h"
#include "WindowTest.h"
#include "XlsxFixture.h"

#include <run/FileErrorMessage.h>
#include <run/MappingFile.h>
#include <run/ProcessingRun.h>
#include <script/ScriptStep.h>
#include <xlsx/Document.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <optional>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using RunFixture::readFile;

namespace {

const QByteArray table = "Name;Ort\nAnna;Berlin\nBert;Köln\n";
const QDir::Filters anyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// A folder shown at a second place while it lives; inactive without the right to mount.
class BindMount
{
public:
    BindMount(const QString &folder, const QString &at)
        : m_at(QFile::encodeName(at))
        , m_active(::mount(QFile::encodeName(folder).constData(), m_at.constData(), nullptr,
                           MS_BIND, nullptr) == 0)
    { }
    ~BindMount()
    {
        if (m_active)
            ::umount2(m_at.constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY_MOVE(BindMount)
    bool isActive() const { return m_active; }

private:
    const QByteArray m_at;
    const bool m_active;
};

// A call that put a file's data on the disk, or put a file in place under a name.
struct DiskCall
{
    bool placed = false;
    ino_t inode = 0;
    QString name;
};

// The calls made while a test listens. The system's own functions are taken over in this
// program, noted and passed on.
std::mutex diskCallsLock;
std::vector<DiskCall> *diskCalls = nullptr;

void noteDiskCall(bool placed, int folder, const char *file, int flags, const char *name = "")
{
    const std::lock_guard<std::mutex> lock(diskCallsLock);
    struct stat info
    {
    };
    if (diskCalls && ::fstatat(folder, file, &info, flags) == 0)
        diskCalls->push_back({placed, info.st_ino, QFile::decodeName(name)});
}

template<class Function>
Function *systemFunction(const char *name)
{
    return reinterpret_cast<Function *>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd)
{
    noteDiskCall(false, fd, "", AT_EMPTY_PATH);
    return systemFunction<int(int)>("fsync")(fd);
}

extern "C" int fdatasync(int fd)
{
    noteDiskCall(false, fd, "", AT_EMPTY_PATH);
    return systemFunction<int(int)>("fdatasync")(fd);
}

extern "C" int rename(const char *from, const char *to)
{
    noteDiskCall(true, AT_FDCWD, from, AT_SYMLINK_NOFOLLOW, to);
    return systemFunction<int(const char *, const char *)>("rename")(from, to);
}

// How a file made without a name gets one.
extern "C" int linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags)
{
    noteDiskCall(true, fromFolder, from, flags & AT_SYMLINK_FOLLOW ? 0 : AT_SYMLINK_NOFOLLOW, to);
    return systemFunction<int(int, const char *, int, const char *, int)>("linkat")(
        fromFolder, from, toFolder, to, flags);
}

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
    void bothFilesAreOnTheDiskBeforeEitherIsInPlace();
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
    settings.optionsLockFileName = path("vondrel.opt.lock");
    settings.optionsBackupFileName = path("vondrel.opt.bak");
    settings.scriptFileName = path("skript.js");
    settings.configurationFileName = path("lieferung.vondrel.conf");
    settings.lastMappingFileName = path("vondrel_map_alt.csv");
    return settings;
}

void TestOutputFailures::protectedFilesAreNeverReplaced_data()
{
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("asMapping");
    // Title and text; %1 is the name written to.
    QTest::addColumn<QString>("message");

    const auto refusal = [](bool asMapping, const char *name) {
        return (asMapping ? QStringLiteral("Info:|Die Zuordnungsdatei darf nicht %1 ersetzen:\r\n")
                          : QStringLiteral("Fehler:|Die Ausgabedatei darf nicht %1 ersetzen:\r\n"))
                   .arg(QString::fromUtf8(name)) +
            QStringLiteral("%1");
    };
    const struct
    {
        const char *file;
        const char *name;
    } kept[] = {{"vondrel.opt", "die Optionsdatei mit dem Schlüssel"},
                {"vondrel.opt.lock", "die Sperrdatei der Optionsdatei"},
                {"vondrel.opt.bak", "die Sicherungskopie der Optionsdatei"},
                {"skript.js", "die Scriptdatei"},
                {"lieferung.vondrel.conf", "die Konfigurationsdatei"},
                {"vondrel_map_alt.csv", "die Zuordnungsdatei des letzten Laufs"},
                {"eingabe.csv", "die Eingabedatei"}};
    for (const auto &file : kept) {
        for (const char *how : {"name", "symlink", "hardlink"}) {
            for (const bool asMapping : {false, true}) {
                // The input as output has a message of its own.
                if (!asMapping && qstrcmp(file.file, "eingabe.csv") == 0)
                    continue;
                // The mapping file's name is the run's own; only a link leads elsewhere. It
                // replaces an earlier mapping file as it always did.
                if (asMapping &&
                    (qstrcmp(how, "name") == 0 || qstrcmp(file.file, "vondrel_map_alt.csv") == 0))
                    continue;
                QTest::addRow("%s %s as %s", file.file, how, asMapping ? "mapping" : "output")
                    << file.file << how << asMapping << refusal(asMapping, file.name);
            }
        }
    }

    // A disk that ignores case makes one file of both names.
    QTest::newRow("options in capitals")
        << "vondrel.opt"
        << "case" << false << refusal(false, "die Optionsdatei mit dem Schlüssel");
    QTest::newRow("script in capitals") << "skript.js"
                                        << "case" << false << refusal(false, "die Scriptdatei");
    // More links than a lookup follows, fewer than a save file does.
    const QString loop = QStringLiteral("%1\r\n%2\r\nDer Name führt über zu viele symbolische "
                                        "Verknüpfungen.");
    QTest::newRow("input through 41 links") << "eingabe.csv"
                                            << "41 links" << false
                                            << QStringLiteral("Fehler:|") +
            loop.arg(QStringLiteral("Die Ausgabedatei konnte nicht erstellt werden."));
    QTest::newRow("options through 41 links as mapping") << "vondrel.opt"
                                                         << "41 links" << true
                                                         << QStringLiteral("Info:|") +
            loop.arg(QStringLiteral("Die Zuordnungsdatei konnte nicht erstellt werden."));
    // Links and files that come after the check: a workbook is opened only after the script.
    QTest::newRow("workbook input linked by the script")
        << "eingabe.xlsx"
        << "linked after the check" << false << refusal(false, "die Eingabedatei");
    QTest::newRow("first run, options linked when the key is stored")
        << "vondrel.opt"
        << "linked on the first run" << false
        << refusal(false, "die Optionsdatei mit dem Schlüssel");
    QTest::newRow("first run, options folder mounted twice")
        << "vondrel.opt"
        << "mounted on the first run" << false
        << refusal(false, "die Optionsdatei mit dem Schlüssel");
}

void TestOutputFailures::protectedFilesAreNeverReplaced()
{
    QFETCH(QString, kept);
    QFETCH(QString, how);
    QFETCH(bool, asMapping);
    QFETCH(QString, message);

    const bool firstRun = how.endsWith(QLatin1String("on the first run"));
    const bool workbook = how.startsWith(QLatin1String("linked"));
    const QByteArray keptBytes = "[main]\nvmap=@Variant(kept)\n";
    for (const char *file : {"vondrel.opt", "vondrel.opt.lock", "vondrel.opt.bak", "skript.js",
                             "lieferung.vondrel.conf", "vondrel_map_alt.csv"})
        writeFile(file, keptBytes);
    if (firstRun)
        QVERIFY(QFile::remove(path("vondrel.opt")));
    const QString output = path(workbook ? "ausgabe.xlsx" : "ausgabe.csv");
    RunSettings run = settings(output);
    QxtCsvModel model;
    RunInput input = RunFixture::csvInput(run, table, model);
    std::unique_ptr<QXlsx::Document> document;
    if (workbook) {
        document = newWorkbook();
        writeRows(*document, {{"Name", "Ort"}, {"Anna", "Berlin"}});
        run.inputFileName = run.loadedFileName = saveWorkbook("eingabe.xlsx", *document);
        input = RunInput();
        input.isXlsx = true;
        input.rawInput = readFile(run.inputFileName);
        document = XlsxFixture::load(input.rawInput);
        input.document = document.get();
    }
    // On a first run the options file is made when the key is stored, if the run gets there.
    QByteArray keptBefore = readFile(path(kept));

    // The names the run will write to, each leading to the kept file.
    QStringList names;
    std::optional<BindMount> mount;
    if (asMapping) {
        run.createMappingFile = true;
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second <= 2; ++second)
            names << MappingFile::pathFor(run.exportFileName, now.addSecs(second));
    } else if (how == QLatin1String("name")) {
        run.exportFileName = path("./") + kept;
        names << run.exportFileName;
    } else if (how == QLatin1String("case")) {
        run.exportFileName = path(kept.toUpper());
        names << run.exportFileName;
    } else if (how == QLatin1String("mounted on the first run")) {
        // The test folder seen a second time, where the check cannot tell by the path.
        const QString second = path("zweiter");
        QVERIFY(QDir().mkpath(second));
        mount.emplace(m_dir->path(), second);
        if (!mount->isActive())
            QSKIP("Bind mounts need the right to mount");
        run.exportFileName = second + QStringLiteral("/vondrel.opt");
        names << run.exportFileName;
    } else {
        names << output;
    }
    const auto linkAll = [&] {
        for (const QString &target : std::as_const(names)) {
            if (how == QLatin1String("hardlink")) {
                QVERIFY(::link(QFile::encodeName(path(kept)), QFile::encodeName(target)) == 0);
            } else if (how == QLatin1String("41 links")) {
                QVERIFY(QFile::link(path("kette1"), target));
            } else if (how == QLatin1String("symlink") || how.startsWith(QLatin1String("linked"))) {
                QVERIFY(QFile::link(path(kept), target));
            }
        }
    };
    if (how == QLatin1String("41 links")) {
        for (int link = 1; link <= 40; ++link) {
            const QString next =
                link < 40 ? path(QStringLiteral("kette%1").arg(link + 1)) : path(kept);
            QVERIFY(QFile::link(next, path(QStringLiteral("kette%1").arg(link))));
        }
    }
    if (!workbook && !firstRun)
        linkAll();
    const QStringList before = QDir(m_dir->path()).entryList(anyEntry);

    if (firstRun)
        run.storedKey.clear();
    run.useScript = how == QLatin1String("linked after the check");
    ProcessingRun processing(run, std::move(input));
    processing.setKeyStore([&](const QByteArray &) {
        writeFile("vondrel.opt", keptBytes);
        keptBefore = keptBytes;
        if (workbook)
            linkAll();
        return QString();
    });
    processing.setScriptStep([&](const ScriptTarget &) { linkAll(); });
    const RunResult result = processing.exec();
    QVERIFY(!result.success);
    const QString shown = result.messageTitle + QLatin1Char('|') + result.messageText;
    QVERIFY2(std::any_of(names.cbegin(), names.cend(),
                         [&](const QString &name) {
                             return shown == message.arg(QDir::toNativeSeparators(name));
                         }),
             qPrintable(shown));
    QCOMPARE(readFile(path(kept)), keptBefore);
    // No output, no mapping file and no temporary file left: only what the attack made.
    QStringList expected = before;
    if (firstRun && keptBefore == keptBytes)
        expected << QStringLiteral("vondrel.opt");
    if (workbook)
        expected << QFileInfo(output).fileName();
    expected.sort();
    QStringList after = QDir(m_dir->path()).entryList(anyEntry);
    after.sort();
    QCOMPARE(after, expected);
    QVERIFY(result.writtenFiles.isEmpty());
}

void TestOutputFailures::optionsFileTypedAsOutput()
{
    // The key is in the options file from the first run on; the second run must keep it.
    choose(writeFile("eingabe.csv", table));
    assignType(0, QStringLiteral("<NAME>"));
    checkBox("create_export_map_file")->setChecked(true);
    setText("export_filename", path("ausgabe.csv"));
    press("tmp_testen");
    QCOMPARE(takePrompts(), QStringList({"Info:|Die Ausgabedatei wurde erstellt."}));
    const QString optionsFile = m_settingsDir->filePath(QStringLiteral("vondrel.opt"));
    QVERIFY(storedOptions().contains(QStringLiteral("pseudo_key")));
    const QStringList maps =
        QDir(m_dir->path()).entryList({QStringLiteral("vondrel_map_*.csv")}, QDir::Files);
    QCOMPARE(maps.size(), 1);
    checkBox("create_export_map_file")->setChecked(false);

    // The configuration just saved is as much the user's as the options file, and so are the
    // files beside it and the only way back from the last run's pseudonyms.
    const QString configuration = path("lieferung.vondrel.conf");
    QVERIFY(m_dialog->saveConfigurationTo(configuration));
    const std::pair<QString, QString> kept[] = {
        {optionsFile, QStringLiteral("die Optionsdatei mit dem Schlüssel")},
        {configuration, QStringLiteral("die Konfigurationsdatei")},
        {optionsFile + QStringLiteral(".lock"), QStringLiteral("die Sperrdatei der Optionsdatei")},
        {optionsFile + QStringLiteral(".bak"),
         QStringLiteral("die Sicherungskopie der Optionsdatei")},
        {path(maps.first()), QStringLiteral("die Zuordnungsdatei des letzten Laufs")}};
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

    // Nor may the user's script write them.
    QString tries = QStringLiteral("var refused = [];\n");
    for (const auto &[file, name] : kept) {
        tries += QStringLiteral("refused.push(DataSheetObject.writeUtf8TextFileEx(\"%1\", \"weg\", "
                                "false));\n")
                     .arg(file);
    }
    tries += QStringLiteral("DataSheetObject.messageBox(\"Script:\", refused.join(\"|\"));\n");
    setText("script_filename", writeFile("skript.js", tries.toUtf8()));
    checkBox("script_use")->setChecked(true);
    setText("export_filename", path("ausgabe.csv"));
    QByteArrayList before;
    for (const auto &[file, name] : kept)
        before << readFile(file);
    press("tmp_testen");
    const QStringList prompts = takePrompts();
    QCOMPARE(prompts.size(), 2);
    const QStringList refused = prompts.first().split(QLatin1Char('|'));
    QCOMPARE(refused.size(), 1 + int(std::size(kept)));
    for (std::size_t i = 0; i < std::size(kept); ++i) {
        QVERIFY2(refused.at(int(i) + 1).startsWith(QLatin1String("Fehler: ")),
                 qPrintable(refused.at(int(i) + 1)));
        QVERIFY(refused.at(int(i) + 1).endsWith(kept[i].first));
        QCOMPARE(readFile(kept[i].first), before.at(int(i)));
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

void TestOutputFailures::bothFilesAreOnTheDiskBeforeEitherIsInPlace()
{
    // A kill between the two renames leaves an old output beside a new mapping file; nothing
    // slow, such as waiting for the disk, may stand between them.
    QxtCsvModel model;
    RunSettings run = settings(path("ausgabe.csv"));
    run.createMappingFile = true;
    RunInput input = RunFixture::csvInput(run, table, model);
    std::vector<DiskCall> calls;
    diskCalls = &calls;
    const RunResult result = ProcessingRun(run, std::move(input)).exec();
    diskCalls = nullptr;
    QVERIFY2(result.success, qPrintable(result.messageText));
    QCOMPARE(result.writtenFiles.size(), 2);

    const auto firstInPlace = std::find_if(calls.cbegin(), calls.cend(), [&](const DiskCall &call) {
        return call.placed && result.writtenFiles.contains(call.name);
    });
    QVERIFY(firstInPlace != calls.cend());
    for (const QString &file : result.writtenFiles) {
        struct stat info
        {
        };
        QVERIFY(::stat(QFile::encodeName(file).constData(), &info) == 0);
        QVERIFY2(std::any_of(calls.cbegin(), firstInPlace,
                             [&](const DiskCall &call) {
                                 return !call.placed && call.inode == info.st_ino;
                             }),
                 qPrintable(file));
    }
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
