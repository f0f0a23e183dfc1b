#include "DialogTestAccess.h"
#include "ModalDialogStep.h"
#include "RunFixture.h"
#include "WindowTest.h"

#include <window/AppPrompt.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QAbstractSpinBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <limits>

using RunFixture::readFile;

namespace {

const QString kSuccess = QStringLiteral("Info:|Die Ausgabedatei wurde erstellt.");
const QByteArray kCustomers = "Name;Ort\r\nAnnegret Kowalski;Kiel\r\nBertold Quandt;Jena\r\n";

} // namespace

// What a user meets in the main window when a run must not report success, or a keystroke
// must not do anything: each case as the user gets there, through the window's own widgets.
class TestWindowFaults : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void runWithNothingToDoIsRefused_data();
    void runWithNothingToDoIsRefused();
    void runOnAnotherFileThanTheFieldNamesIsRefused();
    void enterInAFieldPressesNoButton();
    void keysOnTheFocusedWidget_data();
    void keysOnTheFocusedWidget();
    void configurationIsFoundWhereItWasSaved();
    void hiddenSheetIsNotOfferedFirst();
    void newInputClearsTheOldOutput();

private:
    void run() { press("tmp_testen"); }
    // The folder each file dialog opened in, in order.
    QStringList m_dialogFolders;
};

void TestWindowFaults::initTestCase()
{
    WindowTest::initTestCase();
    // As the base's handler, and: where file dialogs start; an item chooser takes the item
    // it offers first, as a user who accepts it does.
    AppPrompt::setHandler([this](const AppPrompt::Request &request) {
        if (request.chooseItem) {
            m_offeredItems = request.items;
            return QVariant(request.items.value(request.start.toInt()));
        }
        if (request.kind == kivra::DialogHook::Kind::OpenFile ||
            request.kind == kivra::DialogHook::Kind::SaveFile)
            m_dialogFolders.append(request.start.toString());
        else
            m_prompts.append(request.title + QLatin1Char('|') + request.text);
        return std::exchange(m_answer, QVariant());
    });
}

void TestWindowFaults::init()
{
    WindowTest::init();
    m_dialogFolders.clear();
}

void TestWindowFaults::runWithNothingToDoIsRefused_data()
{
    QTest::addColumn<bool>("workbook");
    QTest::addColumn<QString>("placeholder"); // for the first column; empty for none
    QTest::addColumn<bool>("clear"); // the second column
    QTest::addColumn<bool>("script");
    QTest::addColumn<int>("startRow"); // 0: as detected
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QByteArray>("output"); // empty: no output file

    const QString none = QStringLiteral("Fehler:|Keiner Spalte ist ein Feldtyp zugewiesen und "
                                        "keine Spalte ist zum Löschen ausgewählt. Es wurde keine "
                                        "Ausgabedatei erstellt.");
    const QString past = QStringLiteral("Fehler:|Ab Zeile %1 enthält die Tabelle keine "
                                        "Datenzeile. Es wurde keine Ausgabedatei erstellt.");
    const QString name = QStringLiteral("<NAME>");
    // The output path is kept across a restart, the assignments are not.
    QTest::newRow("nothing chosen")
        << false << QString() << false << false << 0 << none << QByteArray();
    QTest::newRow("a column to empty")
        << false << QString() << true << false << 0 << kSuccess
        << QByteArray("\"Name\";\"Ort\"\n\"Annegret Kowalski\";\"\"\n\"Bertold Quandt\";\"\"\n");
    QTest::newRow("the script alone")
        << false << QString() << false << true << 0 << kSuccess
        << QByteArray("\"Name\";\"Ort\"\n\"vom Skript\";\"Kiel\"\n\"Bertold Quandt\";\"Jena\"\n");
    // Every line would be above the table and copied in clear.
    for (const int startRow : {5, 1000, std::numeric_limits<int>::max()}) {
        QTest::newRow(qPrintable(QStringLiteral("start row %1").arg(startRow)))
            << false << name << false << false << startRow << past.arg(startRow) << QByteArray();
    }
    QTest::newRow("workbook start row 4")
        << true << name << false << false << 4 << past.arg(4) << QByteArray();
    QTest::newRow("workbook largest start row")
        << true << name << false << false << std::numeric_limits<int>::max()
        << past.arg(std::numeric_limits<int>::max()) << QByteArray();
}

void TestWindowFaults::runWithNothingToDoIsRefused()
{
    QFETCH(bool, workbook);
    QFETCH(QString, placeholder);
    QFETCH(bool, clear);
    QFETCH(bool, script);
    QFETCH(int, startRow);
    QFETCH(QString, prompt);
    QFETCH(QByteArray, output);

    const QString outputPath = path(workbook ? "ausgabe.xlsx" : "ausgabe.csv");
    if (workbook) {
        auto document = newWorkbook();
        writeRows(*document,
                  {{"Name", "Ort"}, {"Annegret Kowalski", "Kiel"}, {"Bertold Quandt", "Jena"}});
        choose(saveWorkbook("kunden.xlsx", *document));
    } else {
        choose(writeFile("kunden.csv", kCustomers));
    }
    if (!placeholder.isEmpty())
        assignType(0, placeholder);
    if (clear)
        emptyFields()->item(1)->setCheckState(Qt::Checked);
    if (script) {
        setText("script_filename",
                writeFile("skript.js", "DataSheetObject.setText(0, 0, 'vom Skript');\n"));
        checkBox("script_use")->setChecked(true);
    }
    if (startRow > 0) {
        field<QSpinBox>("input_row_offset", kivra::kNumberSpinBox)->setValue(startRow);
        // The table is read again a moment later, without a title past its end.
        QTRY_VERIFY(columnCaptions().value(0).endsWith(QLatin1String(" []")));
    }
    setText("export_filename", outputPath);
    run();
    QCOMPARE(takePrompts(), QStringList({prompt}));
    if (output.isEmpty())
        QVERIFY(!QFileInfo::exists(outputPath));
    else
        QCOMPARE(readFile(outputPath), output);
}

void TestWindowFaults::runOnAnotherFileThanTheFieldNamesIsRefused()
{
    const QString loaded = writeFile("kunden.csv", kCustomers);
    const QString missing = path("neu.csv");
    choose(missing);
    setText("export_filename", path("ausgabe.csv"));
    // Saved while the field named the missing file, loaded again later.
    m_answer = path("fehlt");
    press("tmp_sichern");
    QCOMPARE(takePrompts(), QStringList());

    choose(loaded);
    assignType(0, QStringLiteral("<NAME>"));
    // Typing says nothing and keeps the table; the run refuses and names both files.
    choose(missing);
    QCOMPARE(takePrompts(), QStringList());
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), loaded);
    run();
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Fehler:|Die Eingabedatei\r\n%1\r\nist nicht die geladene "
                                         "Datei\r\n%2\r\nBitte die Eingabedatei laden.")
                              .arg(missing, loaded)}));
    QVERIFY(!QFileInfo::exists(path("ausgabe.csv")));

    // The buttons that load say why they could not.
    const QString notFound =
        QStringLiteral("Dateifehler:|Datei:\r\n%1\r\nDie Datei wurde nicht gefunden.").arg(missing);
    press("tmp_update_input_filename");
    QCOMPARE(takePrompts(), QStringList({notFound}));
    choose(loaded);
    m_answer = path("fehlt.vondrel.conf");
    press("tmp_laden");
    QCOMPARE(takePrompts(), QStringList({notFound}));
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), loaded);
    setText("input_filename", m_dir->path());
    press("tmp_update_input_filename");
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Datei:\r\n%1\r\nDas ist keine Datei.")
                              .arg(m_dir->path())}));

    // "Aktualisieren" on a file that appeared meanwhile reads it.
    writeFile("neu.csv", "Neu\r\nx\r\n");
    setText("input_filename", missing);
    press("tmp_update_input_filename");
    QCOMPARE(takePrompts(), QStringList());
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), missing);
    QCOMPARE(columnCaptions(), QStringList({"1 [Neu]"}));
}

void TestWindowFaults::enterInAFieldPressesNoButton()
{
    choose(writeFile("kunden.csv", kCustomers));
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    const QByteArray input = DialogTestAccess::rawInput(*m_dialog);

    // A pressed button may do nothing visible ("Zuweisen" of the type shown), so every press
    // counts.
    QStringList pressed;
    for (QPushButton *button : m_dialog->findChildren<QPushButton *>()) {
        connect(button, &QPushButton::clicked, this,
                [&pressed, button] { pressed.append(button->text()); });
    }
    QList<QWidget *> fields;
    for (QLineEdit *edit : m_dialog->findChildren<QLineEdit *>())
        fields.append(edit);
    for (QAbstractSpinBox *spinBox : m_dialog->findChildren<QAbstractSpinBox *>())
        fields.append(spinBox);
    // Three file names, the start row and its line edit at least.
    QVERIFY(fields.size() >= 5);
    for (QWidget *field : std::as_const(fields)) {
        if (!field->isVisible() || !field->isEnabled())
            continue;
        field->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(field, key);
            QVERIFY2(m_dialog->isVisible(), field->metaObject()->className());
            QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
            QCOMPARE(pressed, QStringList());
            QCOMPARE(m_dialogFolders, QStringList());
            QCOMPARE(takePrompts(), QStringList());
        }
    }
    QCOMPARE(DialogTestAccess::rawInput(*m_dialog), input);

    // A dialog of the window keeps its OK button for Enter.
    bool okTakesEnter = false;
    const auto ran = onNextModalDialog(m_dialog.get(), [&okTakesEnter](QDialog *dialog) {
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String("Beenden"))
                okTakesEnter = button->isDefault();
        }
    });
    press("config_replacements");
    QVERIFY(*ran);
    QVERIFY(okTakesEnter);
}

void TestWindowFaults::keysOnTheFocusedWidget_data()
{
    QTest::addColumn<bool>("settingsDialog");
    QTest::addColumn<QString>("focus"); // a button's text; empty for the first factor field
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accepted"); // settings dialog: accepted; main window: "Alle" pressed

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        const QByteArray name = key == Qt::Key_Return ? " Return" : " Enter";
        QTest::newRow("settings field" + name) << true << QString() << int(key) << true;
        QTest::newRow("settings Abbrechen" + name) << true << "Abbrechen" << int(key) << false;
        QTest::newRow("settings Beenden" + name) << true << "Beenden" << int(key) << true;
        QTest::newRow("main Alle" + name) << false << "Alle" << int(key) << true;
    }
    QTest::newRow("settings field Escape") << true << QString() << int(Qt::Key_Escape) << false;
}

// Return or Enter on a button presses that button; in a field it presses OK, where there is
// one; Escape cancels.
void TestWindowFaults::keysOnTheFocusedWidget()
{
    QFETCH(bool, settingsDialog);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, accepted);

    choose(writeFile("kunden.csv", kCustomers));
    const auto typeOn = [&focus, key](QWidget *window, QWidget *field) {
        QWidget *target = field;
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            if (button->text() == focus)
                target = button;
        }
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
    };
    if (!settingsDialog) {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        typeOn(m_dialog.get(), nullptr);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(clearedColumns(), accepted ? QList<int>({0, 1}) : QList<int>());
        return;
    }

    bool closed = false;
    const auto ran = onNextModalDialog(m_dialog.get(), [&](QDialog *settings) {
        auto *factor = settings->findChildren<QDoubleSpinBox *>().constFirst();
        factor->setValue(5);
        typeOn(settings, factor);
        closed = !settings->isVisible();
    });
    press("config_replacements");
    QVERIFY(*ran);
    QVERIFY(closed);
    QCOMPARE(DialogTestAccess::setting(*m_dialog, QStringLiteral("intScaleFactor")),
             QVariant(accepted ? 5.0 : 1.0));
}

void TestWindowFaults::configurationIsFoundWhereItWasSaved()
{
    choose(writeFile("kunden.csv", kCustomers));
    assignType(0, QStringLiteral("<NAME>"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("konf")));
    const QString saved = path("konf/meine.vondrel.conf");

    // Typed without the suffix; the first dialog opens beside the input.
    m_answer = path("konf/meine");
    press("tmp_sichern");
    QVERIFY(QFileInfo::exists(saved));
    QVERIFY(!QFileInfo::exists(path("konf/meine")));
    assignType(0, QString());

    // Loading opens where the configuration was saved, and brings back what it holds.
    m_answer = saved;
    press("tmp_laden");
    QCOMPARE(DialogTestAccess::templates(*m_dialog), QVariantMap({{"1", "<NAME>"}}));
    QCOMPARE(m_dialogFolders, QStringList({m_dir->path(), path("konf")}));

    // A name that becomes an existing file's once the suffix is added asks first.
    assignType(0, QString());
    const QByteArray before = readFile(saved);
    m_answer = path("konf/meine");
    press("tmp_sichern");
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Konfiguration speichern|Die Datei\r\n%1"
                                         "\r\nbesteht bereits. Soll sie ersetzt "
                                         "werden?")
                              .arg(saved)}));
    QCOMPARE(readFile(saved), before);
}

void TestWindowFaults::hiddenSheetIsNotOfferedFirst()
{
    auto document = newWorkbook({"Versteckt", "Daten", "Archiv"});
    for (const char *name : {"Versteckt", "Daten", "Archiv"}) {
        const QString sheet = QString::fromLatin1(name);
        QXlsx::Worksheet *worksheet = document->workbook()->sheet(sheet);
        worksheet->write(1, 1, QStringLiteral("Titel ") + sheet);
        worksheet->write(2, 1, QStringLiteral("Wert ") + sheet);
    }
    document->workbook()
        ->sheet(QStringLiteral("Versteckt"))
        ->setSheetState(QXlsx::Worksheet::SheetHidden);
    choose(saveWorkbook("mappe.xlsx", *document));

    QCOMPARE(m_offeredItems, QStringList({"Versteckt (ausgeblendet)", "Daten", "Archiv"}));
    QCOMPARE(columnCaptions(), QStringList({"A [Titel Daten]"}));
}

void TestWindowFaults::newInputClearsTheOldOutput()
{
    choose(writeFile("kunden.csv", kCustomers));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("ausgabe.csv"));
    run();
    QCOMPARE(takePrompts(), QStringList({kSuccess}));
    QTableView *output = DialogTestAccess::outputView(*m_dialog);
    QVERIFY(output->model());

    choose(writeFile("andere.csv", "Stadt\r\nGera\r\n"));
    QVERIFY(!output->model() || output->model()->rowCount() == 0);
}

QTEST_MAIN(TestWindowFaults)
#include "tst_windowfaults.moc"
