#include "DialogTestAccess.h"
#include "WindowTest.h"
#include "XlsxFixture.h"

#include <kivra/ListData.h>
#include <run/CsvFormatChoice.h>
#include <tables/QxtCsvModel.h>
#include <xlsx/CellRange.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QAbstractSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringConverter>
#include <QTableView>
#include <QTest>

#include <unistd.h>

namespace {

// Messages of the window's log category, for counting what a step set off.
QStringList &uiLog()
{
    static QStringList log;
    return log;
}

QtMessageHandler previousHandler = nullptr;

void collectUiLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && QLatin1String(context.category) == QLatin1String("vondrel.ui"))
        uiLog().append(message);
    else if (previousHandler)
        previousHandler(type, context, message);
}

int logged(const QString &start)
{
    int count = 0;
    for (const QString &line : uiLog())
        count += line.startsWith(start) ? 1 : 0;
    return count;
}

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

QStringList headers(const QTableView *view)
{
    QStringList texts;
    const QAbstractItemModel *model = view->model();
    for (int column = 0; model && column < model->columnCount(); ++column)
        texts.append(model->headerData(column, Qt::Horizontal).toString());
    return texts;
}

} // namespace

// Loading a table as a user does it: choosing files, changing the options, assigning types.
class TestInputLoading : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void detectsFormatOfNewFile_data();
    void detectsFormatOfNewFile();
    void optionChangeParsesHeldBytes();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void headersFollowTitleSwitch();
    void startRowHidesRowsAbove_data();
    void startRowHidesRowsAbove();
    void quickStepsReloadAfterRunningLoad();
    void sheetChoice();
    void startUpKeepsRestoredFormat();
    void formatChoices();

private:
    // Each sheet holds a title row and three rows of data.
    QString writeWorkbook(const QString &name, const QStringList &sheets,
                          const QList<QXlsx::CellRange> &merged = {},
                          const QString &hiddenSheet = {}) const;
    QAbstractSpinBox *startRow() const
    {
        return field<QAbstractSpinBox>("input_row_offset", kivra::kNumberSpinBox);
    }
    QTableView *inputView() const { return DialogTestAccess::inputView(*m_dialog); }
    QAbstractItemModel *inputModel() const { return inputView()->model(); }

    bool m_cancelReads = false;
    int m_progressWait = 0;
    // Reads waiting in their progress step, and reads that started meanwhile.
    int m_readsWaiting = 0;
    int m_nestedReads = 0;
    std::function<void()> m_duringRead;
};

void TestInputLoading::initTestCase()
{
    WindowTest::initTestCase();
    QLoggingCategory::setFilterRules(QStringLiteral("vondrel.ui.debug=true"));
    previousHandler = qInstallMessageHandler(collectUiLog);
    // In place of the progress dialog: the read lets events run, as the dialog does.
    QxtCsvModel::setProgressHook([this](qint64) -> vondrel::CsvProgressCallback {
        return [this](qint64) {
            if (m_readsWaiting > 0)
                ++m_nestedReads;
            if (m_duringRead)
                std::exchange(m_duringRead, {})();
            ++m_readsWaiting;
            if (m_progressWait > 0)
                QTest::qWait(m_progressWait);
            --m_readsWaiting;
            return !m_cancelReads;
        };
    });
}

void TestInputLoading::init()
{
    m_cancelReads = false;
    m_progressWait = 0;
    m_nestedReads = 0;
    WindowTest::init();
}

QString TestInputLoading::writeWorkbook(const QString &name, const QStringList &sheets,
                                        const QList<QXlsx::CellRange> &merged,
                                        const QString &hiddenSheet) const
{
    auto document = newWorkbook(sheets);
    for (const QString &sheet : sheets) {
        QXlsx::Worksheet *worksheet = document->workbook()->sheet(sheet);
        worksheet->write(1, 1, QStringLiteral("Titel ") + sheet);
        worksheet->write(1, 2, QStringLiteral("Betrag"));
        for (int row = 2; row <= 4; ++row)
            worksheet->write(row, 1, sheet + QString::number(row));
        worksheet->setMergedCells(merged);
        if (sheet == hiddenSheet)
            worksheet->setSheetState(QXlsx::Worksheet::SheetHidden);
    }
    return saveWorkbook(name, *document);
}

void TestInputLoading::detectsFormatOfNewFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("hasBom");

    const QString text =
        QStringLiteral("Name;Straße;Ort\r\nAnna;Weg 1;Köln\r\nBen;Pfad 2;Bonn\r\n");
    QTest::newRow("UTF-8") << encoded(text, QStringConverter::Utf8) << "UTF-8" << false;
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBF") + encoded(text, QStringConverter::Utf8) << "UTF-8" << true;
    QTest::newRow("Latin-1") << encoded(text, QStringConverter::Latin1) << "ISO-8859-1" << false;
    QTest::newRow("UTF-16 without mark")
        << encoded(text, QStringConverter::Utf16LE) << "UTF-16LE" << false;
    QTest::newRow("UTF-16 not offered")
        << encoded(text, QStringConverter::Utf16BE) << "UTF-16BE" << false;
}

void TestInputLoading::detectsFormatOfNewFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(bool, hasBom);

    // An encoding the list does not offer is added rather than left unselected.
    if (QTest::currentDataTag() == QLatin1String("UTF-16 not offered"))
        combo("text_encoding")->removeItem(combo("text_encoding")->findData(encoding));
    // Choices that the detection must overrule.
    combo("sep_data_field")->setCurrentIndex(combo("sep_data_field")->findData(2));
    startRow()->setProperty("value", 4);
    QTest::qWait(150);
    uiLog().clear();

    choose(writeFile("Adressen.csv", bytes));

    QCOMPARE(combo("sep_data_field")->currentData().toInt(), 3);
    QCOMPARE(combo("text_encoding")->currentData().toString(), encoding);
    QCOMPARE(kivra::firstSelectedValue(&m_dialog->optionMap(), QStringLiteral("text_encoding"))
                 .toString(),
             encoding);
    // The title is the first line, so Anna is data and gets pseudonymised.
    QCOMPARE(startRow()->text(), QStringLiteral("1"));
    QCOMPARE(DialogTestAccess::rowOffset(*m_dialog).toInt(), 1);
    QCOMPARE(DialogTestAccess::inputHasBom(*m_dialog), hasBom);
    QCOMPARE(inputModel()->rowCount(), 3);
    QCOMPARE(inputModel()->index(1, 0).data().toString(), QStringLiteral("Anna"));
    QVERIFY(!inputView()->isRowHidden(0));
    QCOMPARE(columnCaptions(), QStringList({"1 [Name]", "2 [Straße]", "3 [Ort]"}));

    // Only the choice of the file itself came back as a callback; nothing else reloads later.
    QTest::qWait(250);
    QCOMPARE(logged(QStringLiteral("form callback")), 1);
    QCOMPARE(logged(QStringLiteral("form callback kAfterDataChanged \"input_filename\"")), 1);
    QCOMPARE(logged(QStringLiteral("text table shown")), 1);
}

void TestInputLoading::optionChangeParsesHeldBytes()
{
    const QString path = writeFile("zitat.csv", "\"a;b\";c\r\nd;e\r\n");
    choose(path);
    QCOMPARE(inputModel()->columnCount(), 2);
    assignType(0, QStringLiteral("<NAME>"));
    QVERIFY(!columns()->itemIcon(0).isNull());
    emptyFields()->item(1)->setCheckState(Qt::Checked);

    // Without the file the bytes already read are parsed again, without quoting now.
    QVERIFY(QFile::remove(path));
    combo("sep_data_string")->setCurrentIndex(combo("sep_data_string")->findData(0));
    QCOMPARE(inputModel()->columnCount(), 3);
    QCOMPARE(inputModel()->index(0, 0).data().toString(), QStringLiteral("\"a"));
    QCOMPARE(DialogTestAccess::templates(*m_dialog).value("1").toString(),
             QStringLiteral("<NAME>"));
    QVERIFY(!columns()->itemIcon(0).isNull());
    QCOMPARE(emptyFields()->count(), 3);
    QCOMPARE(emptyFields()->item(1)->checkState(), Qt::Checked);
    QCOMPARE(kivra::selectedValues(&m_dialog->optionMap(), QStringLiteral("empty_data_fields")),
             QVariantList({QStringLiteral("2")}));

    // The empty type takes an assignment back, dot and all.
    assignType(0, QString());
    QVERIFY(DialogTestAccess::templates(*m_dialog).isEmpty());
    QVERIFY(columns()->itemIcon(0).isNull());
    assignType(2, QStringLiteral("<TEXT>"));

    // Another file starts without assignments and without cleared columns.
    choose(writeFile("anders.csv", "x;y;z\r\n1;2;3\r\n"));
    QVERIFY(DialogTestAccess::templates(*m_dialog).isEmpty());
    for (int i = 0; i < columns()->count(); ++i)
        QVERIFY(columns()->itemIcon(i).isNull());
    for (int i = 0; i < emptyFields()->count(); ++i)
        QCOMPARE(emptyFields()->item(i)->checkState(), Qt::Unchecked);
}

void TestInputLoading::failedLoadChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason"); // empty: no prompt; *: the system's words

    const QByteArray text = "x;y;z\r\n7;8;9\r\n";
    // As while the user types the path of the next file.
    QTest::newRow("folder") << "FOLDER" << QByteArray() << "";
    QTest::newRow("folder with slash") << "FOLDER/" << QByteArray() << "";
    QTest::newRow("missing") << "FOLDER/fehlt.csv" << QByteArray() << "";
    QTest::newRow("blank") << "   " << QByteArray() << "";
    // Reading it would never end.
    QTest::newRow("device") << "/dev/zero" << QByteArray() << "";
    QTest::newRow("no permission") << "gesperrt.csv" << text << "*";
    // Opens, but every read fails.
    QTest::newRow("read error") << "/proc/self/mem" << QByteArray() << "*";
    QTest::newRow("read cancelled") << "zweite.csv" << text << "";
    QTest::newRow("only a chart sheet")
        << "Diagramm.xlsx"
        << XlsxFixture::workbook({{QStringLiteral("Diagramm"), "<chartsheet/>", true}})
        << "Die Arbeitsmappe enthält keine Tabellenblätter.";
    // The workbook layer's reason, not "empty", for a file that is damaged.
    QTest::newRow("no package") << "Diagramm.xlsx" << QByteArray("PK\x03\x04 kaputt")
                                << "Die Datei ist beschädigt oder unvollständig.";
    QTest::newRow("empty workbook")
        << "Diagramm.xlsx" << QByteArray() << "Die Datei ist keine XLSX-Arbeitsmappe.";
    // Read as text it would show as garbage and be written out as such.
    QTest::newRow("workbook under another suffix")
        << "Makros.xlsm"
        << XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml({})}})
        << "Die Datei ist eine gepackte Datei (eine Arbeitsmappe) und kann nicht als Text "
           "gelesen werden. Arbeitsmappen werden nur mit der Endung .xlsx gelesen.";
}

void TestInputLoading::failedLoadChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);

    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    target.replace(QLatin1String("FOLDER"), m_dir->path());
    if (!target.startsWith(u'/') && !target.trimmed().isEmpty())
        target = writeFile(target, bytes);
    if (tag == QLatin1String("no permission")) {
        if (::geteuid() == 0)
            QSKIP("Permissions do not keep the superuser out");
        QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions()));
    } else if (tag == QLatin1String("read error") && !QFileInfo(target).isFile()) {
        QSKIP("No such file here");
    }
    const QString first = writeFile("erste.csv", "a;b\r\n1;2\r\n");
    choose(first);
    assignType(1, QStringLiteral("<IBAN>"));
    const QAbstractItemModel *shown = inputModel();

    m_cancelReads = tag == QLatin1String("read cancelled");
    choose(target);
    const QStringList prompts = takePrompts();
    const QString prompt = QStringLiteral("Dateifehler:|Datei:\r\n%1\r\n").arg(target);
    const QString words =
        reason == QLatin1String("*") ? prompts.value(0).mid(prompt.size()) : reason;
    QCOMPARE(prompts, reason.isEmpty() ? QStringList() : QStringList(prompt + words));
    QCOMPARE(inputModel(), shown);
    QCOMPARE(DialogTestAccess::loadedInputName(*m_dialog).toString(), first);
    QCOMPARE(DialogTestAccess::rawInput(*m_dialog), QByteArray("a;b\r\n1;2\r\n"));
    QCOMPARE(DialogTestAccess::templates(*m_dialog), QVariantMap({{"2", "<IBAN>"}}));
    QCOMPARE(combo("sep_data_field")->currentData().toInt(), 3);

    // A cancelled reparse keeps the complete table too.
    combo("sep_data_field")->setCurrentIndex(combo("sep_data_field")->findData(2));
    if (m_cancelReads) {
        QCOMPARE(inputModel(), shown);
        QCOMPARE(inputModel()->columnCount(), 2);
    }

    // Back at the same file: it is the file the window holds, so the assignment stays.
    m_cancelReads = false;
    choose(first);
    QCOMPARE(DialogTestAccess::templates(*m_dialog), QVariantMap({{"2", "<IBAN>"}}));
    QCOMPARE(markedColumns(), QList<int>({1}));
}

void TestInputLoading::headersFollowTitleSwitch()
{
    choose(writeFile("titel.csv", "Name;Strasse;Ort\r\nAnna;Weg;Bonn\r\n"));
    QCOMPARE(headers(inputView()), QStringList({"1", "2", "3"}));
    QCOMPARE(columnCaptions(), QStringList({"1 [Name]", "2 [Strasse]", "3 [Ort]"}));

    checkBox("input_has_title")->click();
    QTRY_COMPARE(headers(inputView()), QStringList({"A", "B", "C"}));
    QCOMPARE(columnCaptions(), QStringList({"1", "2", "3"}));
    // The output side shows the same letters.
    QVERIFY(DialogTestAccess::loadOutput(*m_dialog));
    QCOMPARE(headers(DialogTestAccess::outputView(*m_dialog)), QStringList({"A", "B", "C"}));
}

void TestInputLoading::startRowHidesRowsAbove_data()
{
    QTest::addColumn<bool>("workbook");
    QTest::newRow("text") << false;
    QTest::newRow("workbook") << true;
}

void TestInputLoading::startRowHidesRowsAbove()
{
    QFETCH(bool, workbook);
    QByteArray lines;
    for (int row = 1; row <= 10; ++row)
        lines += "Zeile " + QByteArray::number(row) + ";x\r\n";
    // A workbook of one sheet offers no choice; its merged cells span in the view.
    choose(workbook ? writeWorkbook("zeilen.xlsx", {QStringLiteral("Eins")},
                                    {QXlsx::CellRange(2, 2, 3, 3)})
                    : writeFile("zeilen.csv", lines));
    QVERIFY(m_offeredItems.isEmpty());
    QCOMPARE(inputView()->rowSpan(1, 1), workbook ? 2 : 1);
    QCOMPARE(inputView()->columnSpan(1, 1), workbook ? 2 : 1);
    QCOMPARE(inputView()->rowSpan(0, 0), 1);
    QVERIFY(DialogTestAccess::loadOutput(*m_dialog));

    const auto hiddenRows = [](const QTableView *view) {
        QList<int> hidden;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            if (view->isRowHidden(row))
                hidden.append(row);
        return hidden;
    };
    startRow()->setProperty("value", 5);
    QTRY_COMPARE(hiddenRows(inputView()), QList<int>({0, 1, 2, 3}));
    if (!workbook)
        QVERIFY(DialogTestAccess::loadOutput(*m_dialog));
    QCOMPARE(hiddenRows(DialogTestAccess::outputView(*m_dialog)), QList<int>({0, 1, 2, 3}));

    startRow()->setProperty("value", 2);
    QTRY_COMPARE(hiddenRows(inputView()), QList<int>({0}));
}

void TestInputLoading::quickStepsReloadAfterRunningLoad()
{
    QByteArray lines;
    for (int row = 1; row <= 20; ++row)
        lines += "Zeile " + QByteArray::number(row) + ";x\r\n";
    choose(writeFile("zeilen.csv", lines));
    uiLog().clear();

    // Each read takes longer than the delay of a reload, so the later steps' reloads come
    // due while a read is still filling its table.
    m_progressWait = 150;
    startRow()->stepBy(1);
    startRow()->stepBy(1);
    m_duringRead = [this] {
        startRow()->stepBy(1);
    };
    startRow()->stepBy(1);
    QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("text table shown")) >= 4, 5000);
    QTest::qWait(400);
    m_progressWait = 0;

    // A reload that came due during a read waited for it instead of starting inside it.
    QCOMPARE(m_nestedReads, 0);
    QCOMPARE(DialogTestAccess::rowOffset(*m_dialog).toInt(), 5);
    QCOMPARE(inputModel()->rowCount(), 20);
    QVERIFY(inputView()->isRowHidden(3));
    QVERIFY(!inputView()->isRowHidden(4));
}

void TestInputLoading::sheetChoice()
{
    const QString path = writeWorkbook(
        "Mappe.XLSX", {QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Drei")}, {},
        QStringLiteral("Drei"));
    m_itemAnswer = QStringLiteral("Zwei");
    choose(path);
    // A hidden sheet holds data too; the user may choose it.
    QCOMPARE(m_offeredItems, QStringList({"Eins", "Zwei", "Drei (ausgeblendet)"}));
    QCOMPARE(inputModel()->index(0, 0).data().toString(), QStringLiteral("Titel Zwei"));
    QCOMPARE(columnCaptions(), QStringList({"A [Titel Zwei]", "B [Betrag]"}));
    QVERIFY(!combo("sep_data_field")->isEnabled());
    QVERIFY(!checkBox("csv_input_relaxed")->isEnabled());

    // Cancelled: the first sheet.
    m_offeredItems.clear();
    m_itemAnswer = QVariant();
    press("tmp_update_input_filename");
    QCOMPARE(m_offeredItems.size(), 3);
    QCOMPARE(inputModel()->index(0, 0).data().toString(), QStringLiteral("Titel Eins"));

    // A text file after it makes the text options usable again.
    choose(writeFile("text.csv", "a;b\r\n"));
    QVERIFY(combo("sep_data_field")->isEnabled());
    QVERIFY(checkBox("csv_input_relaxed")->isEnabled());
}

void TestInputLoading::startUpKeepsRestoredFormat()
{
    const QString path =
        writeFile("mitmarke.csv", "\xEF\xBB\xBFName;Ort\r\nAnna;K\xC3\xB6ln\r\nBen;Bonn\r\n");
    choose(path);
    // The user knows better than the detection.
    combo("sep_data_field")->setCurrentIndex(combo("sep_data_field")->findData(2));
    combo("text_encoding")->setCurrentIndex(combo("text_encoding")->findData("ISO-8859-1"));
    startRow()->setProperty("value", 2);
    QTest::qWait(150);
    QVERIFY(m_dialog->close());

    newDialog();
    QCOMPARE(combo("sep_data_field")->currentData().toInt(), 2);
    QCOMPARE(combo("text_encoding")->currentData().toString(), QStringLiteral("ISO-8859-1"));
    QCOMPARE(DialogTestAccess::rowOffset(*m_dialog).toInt(), 2);
    QCOMPARE(inputModel()->columnCount(), 1);
    QVERIFY(inputView()->isRowHidden(0));
    // The mark is still known for the output.
    QVERIFY(DialogTestAccess::inputHasBom(*m_dialog));
}

void TestInputLoading::formatChoices()
{
    using Q = QxtCsvModel;
    // Double quotes win over single ones; writing quotes every field once quoting is on.
    QCOMPARE(csvQuoteMode(3, 4, false, false), Q::QuoteDouble | Q::EscapeDoubledQuote);
    QCOMPARE(csvQuoteMode(1, 8, true, false),
             Q::QuoteSingle | Q::EscapeBackslash | Q::RelaxedInput);
    QCOMPARE(csvQuoteMode(1, 0, false, true), Q::QuoteSingle | Q::QuoteAlways);
    QCOMPARE(csvQuoteMode(0, 4, true, true), Q::EscapeDoubledQuote | Q::RelaxedInput);
    // "Automatisch" has no separator of its own; one the form cannot show falls back to it.
    QCOMPARE(csvSeparatorForId(0), QChar(u';'));
    QCOMPARE(csvSeparatorId(QChar(u'|')), 0);
    // The toolkit no longer knows "System" by name; it still means the locale's encoding.
    QVERIFY(!csvCodecForName(QString()));
    QVERIFY(csvCodecForName(QStringLiteral("System")));
    QVERIFY(csvCodecForName(QStringLiteral("UTF-16")));
    QVERIFY(!csvCodecForName(QStringLiteral("keine-Kodierung")));
}

QTEST_MAIN(TestInputLoading)
#include "tst_inputloading.moc"
