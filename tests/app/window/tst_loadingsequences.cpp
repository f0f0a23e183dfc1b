#include "DialogTestAccess.h"
#include "RunFixture.h"
#include "WindowTest.h"
#include "XlsxFixture.h"

#include <tables/SheetModel.h>
#include <window/AppPrompt.h>
#include <xlsx/Document.h>

#include <QFile>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

using RunFixture::readFile;

namespace {

const QString kSuccess = QStringLiteral("Info:|Die Ausgabedatei wurde erstellt.");

} // namespace

// What the window does when the user loads and runs in an order other than the usual one:
// another file typed in before a run, a second file of the other kind, a load or a run asked
// for while a run is still going.
class TestLoadingSequences : public WindowTest
{
    Q_OBJECT

private slots:
    void missingWorkbookAfterATextTable();
    void chosenSheetOfTwoEqualOnes();
    void refreshAfterAWorkbookShowsTheSheet();
    void loadAndRunDuringARunAreRefused();

private:
    void run() { press("tmp_testen"); }
    QString writeWorkbook(const QString &name, const QStringList &sheets) const;
};

QString TestLoadingSequences::writeWorkbook(const QString &name, const QStringList &sheets) const
{
    auto document = newWorkbook(sheets);
    for (const QString &sheet : sheets) {
        document->selectSheet(sheet);
        writeRows(*document,
                  {{QStringLiteral("Name")},
                   {QStringLiteral("Annegret Kowalski")},
                   {QStringLiteral("Bertold Quandt")}});
    }
    document->selectSheet(sheets.constFirst());
    return saveWorkbook(name, *document);
}

void TestLoadingSequences::missingWorkbookAfterATextTable()
{
    choose(writeFile("kunden.csv", "Name\r\nAnnegret Kowalski\r\n"));
    assignType(0, QStringLiteral("<NAME>"));
    // The field now names a workbook that does not exist; the text table is still shown.
    choose(path("fehlt.xlsx"));
    setText("export_filename", path("aus.xlsx"));

    run();
    // Refused, whichever check says so first; the held text table is never run as a workbook.
    const QStringList prompts = takePrompts();
    QCOMPARE(prompts.size(), 1);
    QVERIFY2(prompts.first() != kSuccess, qPrintable(prompts.first()));
    QVERIFY(!QFile::exists(path("aus.xlsx")));
}

void TestLoadingSequences::chosenSheetOfTwoEqualOnes()
{
    m_itemAnswer = QStringLiteral("Zwei");
    choose(writeWorkbook("kunden.xlsx", {"Eins", "Zwei"}));
    QCOMPARE(m_offeredItems, QStringList({"Eins", "Zwei"}));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("aus.xlsx"));

    run();
    QCOMPARE(
        takePrompts(),
        QStringList({kSuccess + QStringLiteral("\r\nUnverändert kopiertes Tabellenblatt: Eins")}));
    const auto output = XlsxFixture::load(readFile(path("aus.xlsx")));
    QVERIFY(output->selectSheet(QStringLiteral("Eins")));
    QCOMPARE(output->read(2, 1).toString(), QStringLiteral("Annegret Kowalski"));
    QCOMPARE(output->read(3, 1).toString(), QStringLiteral("Bertold Quandt"));
    QVERIFY(output->selectSheet(QStringLiteral("Zwei")));
    QCOMPARE(output->read(1, 1).toString(), QStringLiteral("Name"));
    for (int row = 2; row <= 3; ++row) {
        const QString name = output->read(row, 1).toString();
        QVERIFY2(name.startsWith(QLatin1String("name")), qPrintable(name));
    }
}

void TestLoadingSequences::refreshAfterAWorkbookShowsTheSheet()
{
    choose(writeFile("kunden.csv", "Name;Ort\r\nAnna;Bonn\r\n"));
    choose(writeWorkbook("kunden.xlsx", {"Daten"}));
    press("tmp_update_input_filename");

    const QAbstractItemModel *shown = DialogTestAccess::inputView(*m_dialog)->model();
    QVERIFY(qobject_cast<const QXlsx::SheetModel *>(shown));
    QCOMPARE(shown->index(1, 0).data().toString(), QStringLiteral("Annegret Kowalski"));
    QCOMPARE(columnCaptions(), QStringList({"A [Name]"}));
}

void TestLoadingSequences::loadAndRunDuringARunAreRefused()
{
    const QByteArray first = "Name;Nr\r\nAnnegret Kowalski;1\r\n";
    const QString input = writeFile("kunden.csv", first);
    writeFile("andere.csv", "Name;Nr\r\nBertold Quandt;2\r\n");
    // The script's box lets events run in the middle of the run; the user acts from there.
    writeFile("skript.js", "DataSheetObject.messageBox('Halt', 'mitten im Lauf');\n");
    choose(input);
    assignType(0, QStringLiteral("<NAME>"));
    setText("script_filename", path("skript.js"));
    checkBox("script_use")->setChecked(true);
    setText("export_filename", path("aus.csv"));

    bool actedOnce = false;
    AppPrompt::setHandler([this, &actedOnce](const AppPrompt::Request &request) {
        m_prompts.append(request.title + QLatin1Char('|') + request.text);
        if (!std::exchange(actedOnce, true)) {
            run();
            choose(path("andere.csv"));
        }
        return QVariant();
    });
    const auto restore = qScopeGuard([this] { initTestCase(); });
    run();

    QCOMPARE(takePrompts(), QStringList({"Halt|mitten im Lauf", kSuccess}));
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), input);
    QCOMPARE(DialogTestAccess::rawInput(*m_dialog), first);
    const QList<QByteArray> lines = readFile(path("aus.csv")).split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(1).startsWith("\"name"), lines.at(1).constData());
    QVERIFY(lines.at(1).endsWith(";\"1\""));
}

QTEST_MAIN(TestLoadingSequences)
#include "tst_loadingsequences.moc"
