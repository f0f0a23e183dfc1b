#include "DialogTestAccess.h"
#include "RunFixture.h"
#include "WindowTest.h"

#include <kivra/ListData.h>
#include <script/ScriptStep.h>
#include <tables/QxtCsvModel.h>
#include <window/ConfigurationFile.h>
#include <xlsx/Document.h>

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

using RunFixture::readFile;

namespace {

const QByteArray csvTable = "Name;Ort;Betrag\nAnna;Berlin;1,50\nBert;Köln;2,00\n";

QVariant plain(Dialog &dialog, const QString &key)
{
    return kivra::plainValue(dialog.optionMap().value(key));
}

} // namespace

// Configuration files as a user makes and applies them: saved from one delivery, loaded for
// the next, with the field types, the cleared columns and the settings coming back.
class TestConfiguration : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();

    void roundTrip();
    void csvConfigurationOnAWorkbook();
    void foreignFileChangesNothing_data();
    void foreignFileChangesNothing();
    void failedSaveIsReported();
    void loadedScriptNeedsConsent_data();
    void loadedScriptNeedsConsent();
    void byteOrderMarkFollowsTheLoadedFile();
    void scriptStepFollowsTheWindow();

private:
    // Saves contents as a configuration file; its path.
    QString writeConfiguration(const QString &name, const QVariantMap &contents) const;
};

void TestConfiguration::initTestCase()
{
    WindowTest::initTestCase();
    QxtCsvModel::setProgressHook([](qint64) -> vondrel::CsvProgressCallback {
        return [](qint64) {
            return true;
        };
    });
}

QString TestConfiguration::writeConfiguration(const QString &name,
                                              const QVariantMap &contents) const
{
    const QString file = path(name);
    if (!ConfigurationFile::save(file, contents))
        qFatal("Cannot write the test configuration");
    return file;
}

void TestConfiguration::roundTrip()
{
    choose(writeFile("lieferung.csv", csvTable));
    QCOMPARE(columns()->count(), 3);
    assignType(0, QStringLiteral("<NAME>"));
    assignType(2, QStringLiteral("<AMOUNT_COMMA>"));
    emptyFields()->item(1)->setCheckState(Qt::Checked);
    m_dialog->optionMap().insert(QStringLiteral("pseudo_key"), QByteArray(16, 'k'));
    m_dialog->optionMap().insert(QStringLiteral("intScaleFactor"), 3.0);

    // Through the buttons: a cancelled file dialog saves nothing.
    press("tmp_sichern");
    QCOMPARE(takePrompts(), QStringList({"Konfiguration speichern|"}));
    QCOMPARE(QDir(m_dir->path()).entryList({"*.conf"}, QDir::Files), QStringList());
    const QString file = path("lieferung.vondrel.conf");
    m_answer = file;
    press("tmp_sichern");
    takePrompts();
    QVERIFY(!readFile(file).contains("pseudo_key"));
    QVERIFY(!readFile(file).contains("kkkk"));
    QSettings stored(file, QSettings::IniFormat);
    const QVariantMap map = stored.value(QStringLiteral("config_data/vmap")).toMap();
    QCOMPARE(map.value(QStringLiteral("CONNECTED_FIELDS:")).toMap(),
             QVariantMap({{"1", "<NAME>"}, {"3", "<AMOUNT_COMMA>"}}));
    QCOMPARE(map.value(QStringLiteral("CLEARED_FIELDS:")).toList(), QVariantList({"2"}));
    QCOMPARE(map.value(QStringLiteral("input_filename")).toString(), path("lieferung.csv"));

    // The next delivery: other choices, another key.
    assignType(0, QString());
    assignType(1, QStringLiteral("<PLACE>"));
    emptyFields()->item(1)->setCheckState(Qt::Unchecked);
    emptyFields()->item(2)->setCheckState(Qt::Checked);
    m_dialog->optionMap().insert(QStringLiteral("pseudo_key"), QByteArray(16, 'n'));
    m_dialog->optionMap().insert(QStringLiteral("intScaleFactor"), 7.0);

    m_answer = file;
    press("tmp_laden");
    QCOMPARE(takePrompts(), QStringList({"Konfiguration laden|"}));
    QCOMPARE(DialogTestAccess::templates(*m_dialog),
             QVariantMap({{"1", "<NAME>"}, {"3", "<AMOUNT_COMMA>"}}));
    QCOMPARE(markedColumns(), QList<int>({0, 2}));
    QCOMPARE(clearedColumns(), QList<int>({1}));
    QCOMPARE(kivra::selectedValues(&m_dialog->optionMap(), QStringLiteral("empty_data_fields")),
             QVariantList({"2"}));
    QCOMPARE(plain(*m_dialog, QStringLiteral("pseudo_key")), QVariant(QByteArray(16, 'n')));
    QCOMPARE(plain(*m_dialog, QStringLiteral("intScaleFactor")).toDouble(), 3.0);
    QCOMPARE(DialogTestAccess::setting(*m_dialog, QStringLiteral("intScaleFactor")).toDouble(),
             3.0);
    // The type chooser shows the chosen column's type.
    columns()->setCurrentIndex(2);
    QCOMPARE(types()->currentData().toString(), QStringLiteral("<AMOUNT_COMMA>"));
}

void TestConfiguration::csvConfigurationOnAWorkbook()
{
    choose(writeFile("lieferung.csv", csvTable));
    assignType(0, QStringLiteral("<NAME>"));

    auto document = newWorkbook();
    writeRows(*document,
              {{QStringLiteral("Name"), QStringLiteral("Ort")}, {QStringLiteral("Anna")}});
    saveWorkbook("lieferung.xlsx", *document);
    const QString file =
        writeConfiguration(QStringLiteral("csv.vondrel.conf"),
                           ConfigurationFile::contents({{"input_filename", path("lieferung.xlsx")}},
                                                       {{"1", "<NAME>"}, {"2", "<PLACE>"}}, {}));

    QVERIFY(m_dialog->loadConfigurationFrom(file));
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), path("lieferung.xlsx"));
    QCOMPARE(columns()->itemData(0).toString(), QStringLiteral("A"));
    QCOMPARE(columns()->count(), 2);
    QCOMPARE(markedColumns(), QList<int>());
    QCOMPARE(types()->currentIndex(), 0);
    // Settings the file lacks take the window's own.
    for (const QString &key : ConfigurationFile::settingKeys())
        QCOMPARE(plain(*m_dialog, key), DialogTestAccess::setting(*m_dialog, key));
}

void TestConfiguration::foreignFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("options file") << QByteArray(
        "[main]\nvmap=@Variant(\\0\\0\\0\\b\\0\\0\\0\\0)\n");
    QTest::newRow("summary key not a map") << QByteArray("[config_data]\nvmap=Text\n");
    QTest::newRow("the table itself") << csvTable;
    QTest::newRow("binary") << QByteArray("\x00\xff\x01[\n=\x7f", 7);
}

void TestConfiguration::foreignFileChangesNothing()
{
    QFETCH(QByteArray, bytes);

    choose(writeFile("lieferung.csv", csvTable));
    assignType(1, QStringLiteral("<PLACE>"));
    emptyFields()->item(2)->setCheckState(Qt::Checked);
    const QVariantMap before = m_dialog->optionMap();
    const QString file = writeFile("fremd.vondrel.conf", bytes);

    QVERIFY(!m_dialog->loadConfigurationFrom(file));
    QCOMPARE(takePrompts(),
             QStringList({"Dateifehler:|Die Datei enthält keine Konfiguration:\r\n" + file}));
    QCOMPARE(DialogTestAccess::templates(*m_dialog), QVariantMap({{"2", "<PLACE>"}}));
    QCOMPARE(markedColumns(), QList<int>({1}));
    QCOMPARE(clearedColumns(), QList<int>({2}));
    QCOMPARE(m_dialog->optionMap().keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(plain(*m_dialog, it.key()), kivra::plainValue(it.value()));
    QCOMPARE(readFile(file), bytes);

    QVERIFY(!m_dialog->loadConfigurationFrom(path("fehlt.vondrel.conf")));
    QCOMPARE(m_prompts.size(), 1);
    m_prompts.clear();
}

void TestConfiguration::failedSaveIsReported()
{
    const QString input = writeFile("lieferung.csv", csvTable);
    choose(input);
    writeFile("datei", "x");
    const QString unwritable = path("datei/a.vondrel.conf");
    QVERIFY(!m_dialog->saveConfigurationTo(unwritable));
    QCOMPARE(takePrompts(),
             QStringList({"Dateifehler:|Die Konfiguration konnte nicht gespeichert werden:\r\n" +
                          unwritable + "\r\nEin Teil des Pfads ist kein Ordner."}));

    // The table the configuration is for is never replaced by it.
    QVERIFY(!m_dialog->saveConfigurationTo(input));
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY(m_prompts.first().startsWith(QLatin1String("Dateifehler:|")));
    m_prompts.clear();
    QCOMPARE(readFile(input), csvTable);
}

void TestConfiguration::loadedScriptNeedsConsent_data()
{
    QTest::addColumn<bool>("onBefore");
    QTest::addColumn<QString>("scriptBefore");
    QTest::addColumn<QString>("loadedScript");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<bool>("onAfter");

    QTest::newRow("switched on, agreed") << false << ""
                                         << "a.js" << true << QVariant(true) << true;
    QTest::newRow("switched on, refused") << false << ""
                                          << "a.js" << true << QVariant() << false;
    QTest::newRow("another script") << true << "b.js"
                                    << "a.js" << true << QVariant() << false;
    QTest::newRow("the same script again") << true << "a.js"
                                           << "a.js" << false << QVariant() << true;
}

void TestConfiguration::loadedScriptNeedsConsent()
{
    QFETCH(bool, onBefore);
    QFETCH(QString, scriptBefore);
    QFETCH(QString, loadedScript);
    QFETCH(bool, asked);
    QFETCH(QVariant, answer);
    QFETCH(bool, onAfter);

    writeFile("a.js", "");
    writeFile("b.js", "");
    choose(writeFile("lieferung.csv", csvTable));
    if (!scriptBefore.isEmpty()) {
        setText("script_filename", path(scriptBefore));
    }
    checkBox("script_use")->setChecked(onBefore);
    const QString file = writeConfiguration(QStringLiteral("mit-skript.vondrel.conf"),
                                            {{"input_filename", path("lieferung.csv")},
                                             {"script_use", true},
                                             {"script_filename", path(loadedScript)}});

    m_answer = answer;
    QVERIFY(m_dialog->loadConfigurationFrom(file));
    QCOMPARE(m_prompts.size(), asked ? 1 : 0);
    if (asked)
        QVERIFY(m_prompts.first().startsWith("Scriptdatei:|Die Konfiguration schaltet die "
                                             "Scriptdatei\r\n" +
                                             path(loadedScript)));
    m_prompts.clear();
    QCOMPARE(plain(*m_dialog, QStringLiteral("script_use")).toBool(), onAfter);
    QCOMPARE(checkBox("script_use")->isChecked(), onAfter);
    QCOMPARE(plain(*m_dialog, QStringLiteral("script_filename")).toString(), path(loadedScript));
}

void TestConfiguration::byteOrderMarkFollowsTheLoadedFile()
{
    choose(writeFile("mit-bom.csv", "\xEF\xBB\xBF" + csvTable));
    QVERIFY(DialogTestAccess::inputHasBom(*m_dialog));
    writeFile("ohne-bom.csv", csvTable);
    const QString file = writeConfiguration(QStringLiteral("ohne.vondrel.conf"),
                                            {{"input_filename", path("ohne-bom.csv")}});

    QVERIFY(m_dialog->loadConfigurationFrom(file));
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), path("ohne-bom.csv"));
    QVERIFY(!DialogTestAccess::inputHasBom(*m_dialog));

    const QString back = writeConfiguration(QStringLiteral("mit.vondrel.conf"),
                                            {{"input_filename", path("mit-bom.csv")}});
    QVERIFY(m_dialog->loadConfigurationFrom(back));
    QVERIFY(DialogTestAccess::inputHasBom(*m_dialog));
}

void TestConfiguration::scriptStepFollowsTheWindow()
{
    const QString input = writeFile("lieferung.csv", csvTable);
    choose(input);
    setText("export_filename", path("aus.csv"));
    const QString script =
        writeFile("skript.js", "var dir = '" + m_dir->path().toUtf8() + "/';" + R"(
        var names = ["lieferung.csv", "aus.csv", "skript.js", "frei.txt"];
        var written = [];
        for (var i = 0; i < names.length; ++i)
            if (DataSheetObject.writeUtf8TextFile(dir + names[i], "weg", false))
                written.push(names[i]);
        DataSheetObject.setText(0, "ort", written.join(","), true);
    )");
    setText("script_filename", script);

    const ScriptStep::Setup setup = m_dialog->scriptStepSetup();
    QCOMPARE(setup.scriptFileName, script);
    QCOMPARE(setup.columnIds, QStringList({"1", "2", "3"}));
    QCOMPARE(setup.columnItemTexts, QStringList({"1 [Name]", "2 [Ort]", "3 [Betrag]"}));
    QVERIFY(setup.protectedFiles.contains(m_settingsDir->filePath("vondrel.opt")));

    QxtCsvModel output;
    RunFixture::loadCsv(output, csvTable, RunFixture::csvSettings(input, path("aus.csv")));
    ScriptTarget target;
    target.model = &output;
    target.firstRow = 1;
    const ScriptStep step(setup);
    step(target);
    QCOMPARE(output.text(1, 1), QStringLiteral("frei.txt"));
    QCOMPARE(readFile(input), csvTable);
    QVERIFY(!QFileInfo::exists(path("aus.csv")));
}

QTEST_MAIN(TestConfiguration)
#include "tst_configuration.moc"
