#include "DialogTestAccess.h"
#include "RunFixture.h"
#include "WindowTest.h"
#include "XlsxFixture.h"

#include <tables/SheetModel.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>

using RunFixture::readFile;

namespace {

const QString kSuccess = QStringLiteral("Info:|Die Ausgabedatei wurde erstellt.");

std::unique_ptr<QXlsx::Document> readWorkbook(const QString &path)
{
    return XlsxFixture::load(readFile(path));
}

} // namespace

// "Testen und Erstellen" as a user reaches it: a file chosen, types assigned, the button
// pressed; what the files, the options file, the output view and the message boxes show.
class TestMainWindowRun : public WindowTest
{
    Q_OBJECT

private slots:
    void csvRun();
    void workbookRun();
    void windowSettingsReachTheRun();
    void newKeyIsKeptAtOnce();
    void secondWindowKeepsTheKey_data();
    void secondWindowKeepsTheKey();
    void scriptChangesTheOutputCopy();
    void refusedRunsSayWhy_data();
    void refusedRunsSayWhy();
    void keyThatCannotBeKeptStopsTheRun();
    void longRunKeepsTheWindowAlive();
    void unreadableDatesAreNamed_data();
    void unreadableDatesAreNamed();
    void successBoxSaysWhatStaysUnchanged_data();
    void successBoxSaysWhatStaysUnchanged();

private:
    QString writeWorkbook(const QString &name) const;
    void clearColumn(int column) { emptyFields()->item(column)->setCheckState(Qt::Checked); }
    void run() { press("tmp_testen"); }
};

QString TestMainWindowRun::writeWorkbook(const QString &name) const
{
    auto document = newWorkbook();
    writeRows(*document,
              {{QStringLiteral("Name"), QStringLiteral("Betrag"), QStringLiteral("Notiz")},
               {QStringLiteral("Annegret Kowalski"), 1234.5, QStringLiteral("geheim")},
               {QStringLiteral("Bertold Quandt"), 99, QStringLiteral("vertraulich")},
               {QStringLiteral("Annegret Kowalski"), 7, QStringLiteral("geheim")}});
    return saveWorkbook(name, *document);
}

void TestMainWindowRun::csvRun()
{
    const QString input = writeFile("kunden.csv",
                                    "Name;IBAN;Notiz;Nr\r\n"
                                    "Annegret Kowalski;DE89370400440532013000;geheim;1\r\n"
                                    "Bertold Quandt;DE44500105175407324931;vertraulich;2\r\n"
                                    "Annegret Kowalski;DE89370400440532013000;geheim;3\r\n"
                                    "Cosima Wendt;DE12500105170648489890;intern;4\r\n");
    const QByteArray inputBytes = readFile(input);
    choose(input);
    assignType(0, QStringLiteral("<NAME>"));
    assignType(1, QStringLiteral("<IBAN>"));
    clearColumn(2);
    // Edited to blank, then no longer editable: the copy is made from the file's bytes, and
    // the original must not come back from them.
    auto *inputView = DialogTestAccess::inputView(*m_dialog);
    QVERIFY(inputView->model()->setData(inputView->model()->index(4, 0), QString()));
    checkBox("input_editable")->setChecked(false);
    checkBox("create_export_map_file")->setChecked(true);
    setText("export_filename", path("ausgabe.csv"));

    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));

    const QByteArray output = readFile(path("ausgabe.csv"));
    const QList<QByteArray> lines = output.split('\n');
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines.at(0).startsWith("\"Name\";\"IBAN\";\"Notiz\";\"Nr\""));
    for (const char *original : {"Annegret", "Kowalski", "Quandt", "Cosima", "DE8937", "DE4450",
                                 "DE1250", "geheim", "vertraulich", "intern"})
        QVERIFY2(!output.contains(original), original);
    QVERIFY(lines.at(4).startsWith("\"\";\"DE"));
    QVERIFY(lines.at(4).endsWith("\"\";\"4\""));
    // A repeated name and IBAN get their first replacements again.
    QCOMPARE(lines.at(3).chopped(4), lines.at(1).chopped(4));

    // The output view shows the output copy.
    const QAbstractItemModel *shown = DialogTestAccess::outputView(*m_dialog)->model();
    QVERIFY(shown);
    QCOMPARE(shown->rowCount(), 5);
    QCOMPARE(shown->index(1, 3).data().toString(), QStringLiteral("1"));
    QVERIFY(shown->index(1, 0).data().toString() != QLatin1String("Annegret Kowalski"));

    // The mapping file beside the output, with the names met (the blank one is left alone).
    const QStringList maps =
        QDir(m_dir->path()).entryList({QStringLiteral("vondrel_map_*.csv")}, QDir::Files);
    QCOMPARE(maps.size(), 1);
    const QByteArray mapping = readFile(path(maps.first()));
    QVERIFY(mapping.startsWith("\"1 [Name]\";\"1 [Name][neu]\";\"2 [IBAN]\";\"2 [IBAN][neu]\""));
    QVERIFY(mapping.contains("\"Bertold Quandt\""));

    // The same key again next time: a second run writes the same bytes.
    QVERIFY(QFile::remove(path("ausgabe.csv")));
    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));
    QCOMPARE(readFile(path("ausgabe.csv")), output);
    QCOMPARE(readFile(input), inputBytes);
}

void TestMainWindowRun::workbookRun()
{
    choose(writeWorkbook("kunden.xlsx"));
    assignType(0, QStringLiteral("<NAME>"));
    clearColumn(2);
    setText("export_filename", path("ausgabe.xlsx"));

    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));

    const auto output = readWorkbook(path("ausgabe.xlsx"));
    QCOMPARE(output->read(1, 1).toString(), QStringLiteral("Name"));
    const QString first = output->read(2, 1).toString();
    QVERIFY(!first.isEmpty() && !first.contains(QLatin1String("Annegret")));
    QCOMPARE(output->read(4, 1).toString(), first);
    QVERIFY(!output->read(3, 1).toString().contains(QLatin1String("Quandt")));
    // Amounts without a template stay numbers; the cleared column holds no original.
    QCOMPARE(output->read(2, 2), QVariant(1234.5));
    for (int row = 2; row <= 4; ++row)
        QVERIFY(output->read(row, 3).toString().isEmpty());

    const QAbstractItemModel *shown = DialogTestAccess::outputView(*m_dialog)->model();
    QVERIFY(qobject_cast<const QXlsx::SheetModel *>(shown));
    QCOMPARE(shown->index(1, 0).data().toString(), first);
}

// What the window holds beyond the field types: the detected separator, a table without a
// title line, the integer factor of the settings, merged cells of a workbook.
void TestMainWindowRun::windowSettingsReachTheRun()
{
    choose(writeFile("zahlen.csv", "7,Anna\r\n12,Berta\r\n30,Cleo\r\n41,Dora\r\n"));
    checkBox("input_has_title")->setChecked(false);
    m_dialog->optionMap().insert(QStringLiteral("intScaleFactor"), 3.0);
    assignType(0, QStringLiteral("<INTEGER>"));
    setText("export_filename", path("zahlen aus.csv"));
    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));
    QCOMPARE(readFile(path("zahlen aus.csv")),
             QByteArray("\"21\",\"Anna\"\n\"36\",\"Berta\"\n\"90\",\"Cleo\"\n\"123\",\"Dora\"\n"));
    const QAbstractItemModel *shown = DialogTestAccess::outputView(*m_dialog)->model();
    QCOMPARE(shown->headerData(1, Qt::Horizontal).toString(), QStringLiteral("B"));

    auto document = newWorkbook();
    writeRows(*document,
              {{QStringLiteral("Name"), QStringLiteral("Ort")},
               {QStringLiteral("Anna"), QStringLiteral("Bonn")},
               {QStringLiteral("Berta"), QString()}});
    document->currentWorksheet()->setMergedCells({QXlsx::CellRange(2, 2, 3, 2)});
    choose(saveWorkbook("verbunden.xlsx", *document));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("verbunden aus.xlsx"));
    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));
    const QTableView *view = DialogTestAccess::outputView(*m_dialog);
    QCOMPARE(view->rowSpan(1, 1), 2);
    QCOMPARE(view->rowSpan(0, 0), 1);
}

void TestMainWindowRun::newKeyIsKeptAtOnce()
{
    // Values saved by an earlier close stay as they were; only the key joins them.
    {
        QSettings options(m_settingsDir->filePath(QStringLiteral("vondrel.opt")),
                          QSettings::IniFormat);
        options.setValue(
            QStringLiteral("main/vmap"),
            QVariantMap {{QStringLiteral("script_filename"), QStringLiteral("alt.js")}});
    }
    newDialog();
    choose(writeWorkbook("kunden.xlsx"));
    assignType(0, QStringLiteral("<NAME>"));
    // The output cannot be made, but only after the key was: the key is kept all the same.
    setText("export_filename", path("fehlt/ausgabe.xlsx"));
    run();
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Info:|Die Ausgabedatei konnte nicht erstellt werden.\r\n"
                                         "%1\r\nDer Ordner „%2“ existiert nicht.")
                              .arg(QDir::toNativeSeparators(path("fehlt/ausgabe.xlsx")),
                                   QDir::toNativeSeparators(path("fehlt")))}));

    const QVariantMap stored = storedOptions();
    const QByteArray key = stored.value(QStringLiteral("pseudo_key")).toByteArray();
    QCOMPARE(key.size(), 16);
    QCOMPARE(m_dialog->optionMap().value(QStringLiteral("pseudo_key")).toByteArray(), key);
    QCOMPARE(stored.keys(), QStringList({"pseudo_key", "script_filename"}));

    // Kept, not made anew: a successful run leaves the file's key as it is, and a window
    // started after a crash makes the same output with it.
    setText("export_filename", path("eins.xlsx"));
    run();
    m_prompts.clear();
    QCOMPARE(storedOptions().value(QStringLiteral("pseudo_key")).toByteArray(), key);
    const QString first = readWorkbook(path("eins.xlsx"))->read(2, 1).toString();

    newDialog();
    choose(path("kunden.xlsx"));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("zwei.xlsx"));
    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));
    QCOMPARE(readWorkbook(path("zwei.xlsx"))->read(2, 1).toString(), first);
}

void TestMainWindowRun::secondWindowKeepsTheKey_data()
{
    QTest::addColumn<bool>("firstRuns");
    QTest::addColumn<bool>("firstClosesLast");
    QTest::newRow("both run, first closes first") << true << false;
    QTest::newRow("both run, first closes last") << true << true;
    QTest::newRow("first never runs, closes last") << false << true;
}

// Two windows started before either has a key; the one started second runs first and makes
// the key. Whatever the other does, every output can be made again afterwards.
void TestMainWindowRun::secondWindowKeepsTheKey()
{
    QFETCH(bool, firstRuns);
    QFETCH(bool, firstClosesLast);

    const QString input = writeFile("kunden.csv", "Name\r\nAnnegret Kowalski\r\n");
    const auto runInto = [&](const QString &output) {
        choose(input);
        assignType(0, QStringLiteral("<NAME>"));
        setText("export_filename", path(output));
        run();
        QCOMPARE(takePrompts(), QStringList({kSuccess}));
    };
    auto other = std::make_unique<Dialog>(nullptr, m_settingsDir->path());
    std::swap(other, m_dialog);
    runInto("zweites.csv");
    std::swap(other, m_dialog);
    if (firstRuns)
        runInto("erstes.csv");
    QVERIFY((firstClosesLast ? other : m_dialog)->close());
    QVERIFY((firstClosesLast ? m_dialog : other)->close());

    newDialog();
    runInto("drittes.csv");
    QCOMPARE(readFile(path("drittes.csv")), readFile(path("zweites.csv")));
    if (firstRuns)
        QCOMPARE(readFile(path("erstes.csv")), readFile(path("zweites.csv")));
}

void TestMainWindowRun::scriptChangesTheOutputCopy()
{
    const QString input = writeFile("kunden.csv", "Name;Nr\r\nAnna;1\r\n");
    const QString script = writeFile("skript.js",
                                     "DataSheetObject.setText(0, 1, 'vom Skript');\n"
                                     "throw new Error('kaputt');\n");
    choose(input);
    assignType(0, QStringLiteral("<NAME>"));
    setText("script_filename", script);
    checkBox("script_use")->setChecked(true);
    setText("export_filename", path("ausgabe.csv"));

    run();
    // A failing script is reported; the output keeps what it changed up to the error.
    QCOMPARE(m_prompts.size(), 2);
    QVERIFY2(m_prompts.first().startsWith(QLatin1String("Scriptfehler:|Error: kaputt")),
             qPrintable(m_prompts.first()));
    QCOMPARE(m_prompts.last(), kSuccess);
    m_prompts.clear();
    const QList<QByteArray> lines = readFile(path("ausgabe.csv")).split('\n');
    QVERIFY(lines.at(1).startsWith("\"name"));
    QVERIFY(lines.at(1).endsWith(";\"vom Skript\""));
    QCOMPARE(readFile(input), QByteArray("Name;Nr\r\nAnna;1\r\n"));
}

void TestMainWindowRun::refusedRunsSayWhy_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("useScript");
    QTest::addColumn<QString>("prompt");

    const QString csv = QStringLiteral("kunden.csv");
    QTest::newRow("nothing loaded")
        << QString() << "ausgabe.csv" << false << "Fehler:|Es liegen noch keine Daten vor.";
    QTest::newRow("no output") << csv << " " << false
                               << "Fehler:|Es muss eine Ausgabedatei ausgewählt werden.";
    QTest::newRow("the input itself")
        << csv << "./kunden.csv " << false
        << "Fehler:|Die Eingabedatei und die Ausgabedatei müssen unterschiedlich sein.";
    QTest::newRow("workbook name for text")
        << csv << "ausgabe.XLSX" << false
        << "Fehler:|Die Dateiendung der Ausgabedatei darf nicht .xlsx sein.";
    QTest::newRow("text name for a workbook")
        << "kunden.xlsx"
        << "ausgabe.csv" << false << "Fehler:|Die Dateiendung der Ausgabedatei muss .xlsx sein.";
    QTest::newRow("script missing") << csv << "ausgabe.csv" << true
                                    << "Fehler:|Die Scriptdatei \r\n%1\r\nwurde nicht gefunden.";
}

void TestMainWindowRun::refusedRunsSayWhy()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, useScript);
    QFETCH(QString, prompt);

    writeFile("kunden.csv", "Name\r\nAnnegret Kowalski\r\n");
    writeWorkbook("kunden.xlsx");
    const QString outputPath = path("ausgabe.csv");
    writeFile("ausgabe.csv", "alt\n");
    if (!input.isEmpty()) {
        choose(path(input));
        assignType(0, QStringLiteral("<NAME>"));
    }
    const QString script = path("fehlt.js");
    setText("script_filename", script);
    checkBox("script_use")->setChecked(useScript);
    // A relative name is taken from the working directory, here the input's folder.
    const QString workingDir = QDir::currentPath();
    const auto restore = qScopeGuard([&workingDir] { QDir::setCurrent(workingDir); });
    QDir::setCurrent(m_dir->path());
    setText("export_filename", output);

    run();
    QCOMPARE(takePrompts(), QStringList({useScript ? prompt.arg(script) : prompt}));
    QCOMPARE(readFile(outputPath), QByteArray("alt\n"));
    QCOMPARE(readFile(path("kunden.csv")), QByteArray("Name\r\nAnnegret Kowalski\r\n"));
    QVERIFY(!storedOptions().contains(QStringLiteral("pseudo_key")));
}

void TestMainWindowRun::keyThatCannotBeKeptStopsTheRun()
{
    // An options file that cannot be written: a folder in its place.
    const QString optionsFile = m_settingsDir->filePath(QStringLiteral("vondrel.opt"));
    QVERIFY(QDir().mkpath(optionsFile));
    newDialog();
    choose(writeFile("kunden.csv", "Name\r\nAnnegret Kowalski\r\n"));
    assignType(0, QStringLiteral("<NAME>"));
    writeFile("ausgabe.csv", "alt\n");
    setText("export_filename", path("ausgabe.csv"));

    run();
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Der neue Schlüssel konnte nicht in „%1“ "
                                         "gespeichert werden.")
                              .arg(QDir::toNativeSeparators(optionsFile))}));
    QCOMPARE(readFile(path("ausgabe.csv")), QByteArray("alt\n"));
    QVERIFY(!m_dialog->optionMap().contains(QStringLiteral("pseudo_key")));
}

QTEST_MAIN(TestMainWindowRun)
#include "tst_mainwindowrun.moc"

// The window is repainted while a long run works (events other than the user's run at
// intervals), and no window of the run's own shows up unpainted.
void TestMainWindowRun::longRunKeepsTheWindowAlive()
{
    QByteArray input = "Name;Datum;Betrag\n";
    for (int i = 0; i < 600000; ++i)
        input += "Name " + QByteArray::number(i) + ";01.02.1990;" + QByteArray::number(i) + ",50\n";
    choose(writeFile("gross.csv", input));
    assignType(0, QStringLiteral("<NAME>"));
    assignType(2, QStringLiteral("<AMOUNT_COMMA>"));
    setText("export_filename", path("gross aus.csv"));

    int fired = 0;
    QStringList otherWindows;
    QTimer timer;
    timer.setInterval(0);
    connect(&timer, &QTimer::timeout, this, [&] {
        ++fired;
        for (const QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget != m_dialog.get())
                otherWindows << QString::fromLatin1(widget->metaObject()->className());
        }
    });
    timer.start();
    run();
    timer.stop();
    QCOMPARE(takePrompts(),
             QStringList({kSuccess +
                          QStringLiteral("\r\nSpalte 3 [Betrag]: Faktor 1, die Beträge bleiben "
                                         "unverändert.")}));
    // Once when the wait cursor is shown; the rest while the run works.
    QVERIFY2(fired >= 3, qPrintable(QString::number(fired)));
    QCOMPARE(otherWindows, QStringList());
}

void TestMainWindowRun::unreadableDatesAreNamed_data()
{
    QTest::addColumn<bool>("editable");
    QTest::newRow("editable") << true;
    QTest::newRow("not editable") << false;
}

// ISO dates under the default "dd.MM.yyyy" format cannot be read: their cells come out
// empty, and the success box counts them per column.
void TestMainWindowRun::unreadableDatesAreNamed()
{
    QFETCH(bool, editable);
    choose(writeFile("daten.csv",
                     "Name;Geburtsdatum;Eintritt\n"
                     "Anna;1993-08-16;2001-01-01\n"
                     "Berta;16.08.1993;2002-02-02\n"
                     "Cleo;;\n"
                     "Dora;1993-08-16;03.03.2003\n"
                     "Emil; ;04.04.2004\n"));
    checkBox("input_editable")->setChecked(editable);
    assignType(1, QStringLiteral("<DATE>"));
    assignType(2, QStringLiteral("<DATE>"));
    setText("export_filename", path("daten aus.csv"));
    run();
    const QStringList captions = columnCaptions();
    QCOMPARE(takePrompts(),
             QStringList({kSuccess +
                          QStringLiteral("\r\nSpalte %1: 2 Werte konnten nicht gelesen "
                                         "werden und sind leer.\r\nSpalte %2: 2 Werte "
                                         "konnten nicht gelesen werden und sind leer.")
                              .arg(captions.at(1), captions.at(2))}));
    const QList<QByteArray> lines = readFile(path("daten aus.csv")).split('\n');
    QVERIFY(lines.at(1).startsWith("\"Anna\";\"\";\"\""));
    QVERIFY(!lines.at(2).contains("16.08.1993"));
    QVERIFY(!lines.at(2).contains(";\"\";"));

    // Readable dates only: the box says no more than before.
    choose(writeFile("gut.csv", "Name;Geburtsdatum\nAnna;16.08.1993\n"));
    assignType(1, QStringLiteral("<DATE>"));
    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));
}

void TestMainWindowRun::successBoxSaysWhatStaysUnchanged_data()
{
    // A CSV table, or a workbook (none) whose first sheet holds the same rows.
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("templates");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QStringList>("notes");

    const QByteArray numbers = "Nr;Betrag;Menge\n1;12,50;3\n2;7,00;4\n";
    const QStringList scaled {QString(), QStringLiteral("<AMOUNT_COMMA>"),
                              QStringLiteral("<INTEGER>")};
    const QString amounts =
        QStringLiteral("Spalte 2 [Betrag]: Faktor 1, die Beträge bleiben unverändert.");
    const QString integers =
        QStringLiteral("Spalte 3 [Menge]: Faktor 1, die Ganzzahlen bleiben unverändert.");
    const QVariantMap aboveOne {{QStringLiteral("floatScaleFactor"), 2.0},
                                {QStringLiteral("intScaleFactor"), 3.0}};

    QTest::newRow("factor 1") << numbers << scaled << QVariantMap()
                              << QStringList {amounts, integers};
    QTest::newRow("amounts multiplied by 1")
        << numbers << scaled << QVariantMap {{QStringLiteral("floatScaleFactorGreater1"), false}}
        << QStringList {amounts, integers};
    QTest::newRow("factors above 1") << numbers << scaled << aboveOne << QStringList();
    QTest::newRow("amounts cleared")
        << numbers << QStringList {QString(), QStringLiteral("<AMOUNT_DOT>")}
        << QVariantMap {{QStringLiteral("cleared"), 1}} << QStringList();
    QTest::newRow("one unreadable date")
        << QByteArray("Name;Datum\nAnna;1993-08-16\nBerta;16.08.1993\n")
        << QStringList {QString(), QStringLiteral("<DATE>")} << QVariantMap()
        << QStringList {QStringLiteral("Spalte 2 [Datum]: 1 Wert konnte nicht gelesen werden und "
                                       "ist leer.")};
    QTest::newRow("other sheets of a workbook")
        << QByteArray() << QStringList {QString(), QStringLiteral("<AMOUNT_DOT>")} << aboveOne
        << QStringList {QStringLiteral("Unverändert kopierte Tabellenblätter: Archiv, Alt "
                                       "(ausgeblendet)")};
}

// The success box names what the output holds unchanged: the user hands it on.
void TestMainWindowRun::successBoxSaysWhatStaysUnchanged()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, templates);
    QFETCH(QVariantMap, options);
    QFETCH(QStringList, notes);

    if (csv.isEmpty()) {
        auto document =
            newWorkbook({QStringLiteral("Daten"), QStringLiteral("Archiv"), QStringLiteral("Alt")});
        writeRows(*document, {{QStringLiteral("Nr"), QStringLiteral("Betrag")}, {1, 12.5}});
        document->workbook()->sheet(QStringLiteral("Archiv"))->write(1, 1, QStringLiteral("Anna"));
        document->workbook()
            ->sheet(QStringLiteral("Alt"))
            ->setSheetState(QXlsx::Worksheet::SheetHidden);
        choose(saveWorkbook("tabelle.xlsx", *document));
        setText("export_filename", path("tabelle aus.xlsx"));
    } else {
        choose(writeFile("tabelle.csv", csv));
        setText("export_filename", path("tabelle aus.csv"));
    }
    for (int column = 0; column < templates.size(); ++column) {
        if (!templates.at(column).isEmpty())
            assignType(column, templates.at(column));
    }
    if (options.contains(QStringLiteral("cleared")))
        clearColumn(options.take(QStringLiteral("cleared")).toInt());
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        m_dialog->optionMap().insert(it.key(), it.value());

    run();
    const QString expected = (QStringList {kSuccess} + notes).join(QStringLiteral("\r\n"));
    QCOMPARE(takePrompts(), QStringList({expected}));
}
