#include "AppTest.h"
#include "FileSizeLimit.h"
#include "RunFixture.h"

#include <script/DataSheetObject.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/Document.h>

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QJSEngine>
#include <QMetaMethod>
#include <QTest>

#include <limits>
#include <tuple>

#include <ctime>

#include <unistd.h>

using RunFixture::readFile;

namespace {

// A CSV table as the loader leaves it: rows of fields, the first one the title.
std::unique_ptr<QxtCsvModel> csvModel(const QList<QStringList> &rows)
{
    auto model = std::make_unique<QxtCsvModel>();
    int width = 0;
    for (const QStringList &row : rows)
        width = std::max(width, int(row.size()));
    model->insertColumns(0, width);
    model->insertRows(0, int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c)
            model->setText(r, c, rows.at(r).at(c));
    }
    return model;
}

// Runs program with the object published as the script step publishes it; the result as a
// variant, or the error text when the script failed.
QVariant evaluate(DataSheetObject &sheet, const QString &program, bool *failed = nullptr)
{
    QJSEngine engine;
    QJSEngine::setObjectOwnership(&sheet, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(QStringLiteral("DataSheetObject"), engine.newQObject(&sheet));
    QStringList trace;
    const QJSValue result = engine.evaluate(program, QString(), 1, &trace);
    const bool error = result.isError() || !trace.isEmpty();
    if (failed)
        *failed = error;
    return error ? QVariant(result.toString()) : result.toVariant();
}

// Runs the rest of a test in the given time zone, whatever the environment says.
class ZoneScope
{
public:
    explicit ZoneScope(const QByteArray &zone)
        : m_previous(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneScope()
    {
        qputenv("TZ", m_previous);
        tzset();
    }
    Q_DISABLE_COPY_MOVE(ZoneScope)

private:
    QByteArray m_previous;
};

const QStringList threeIds {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};

} // namespace

// The script's view of the output table: its window of rows, column names, typed access,
// appended columns and the files a script may write.
class TestDataSheetObject : public AppTest
{
    Q_OBJECT

private slots:
    void rowWindow_data();
    void rowWindow();
    void columnsByIndexIdOrCaption();
    void typedReads_data();
    void typedReads();
    void typedWritesInAWorksheet();
    void datesInAnyZone_data();
    void datesInAnyZone();
    void datesFromCsvText();
    void insertColumn();
    void scaleNumericString_data();
    void scaleNumericString();
    void promptAndClipboard();

    void writeCreatesDirectoriesAndBom();
    void writeRefusesProtectedFiles_data();
    void writeRefusesProtectedFiles();
    void writeFailuresKeepTheFile();

    void everyInvokableIsCallableFromAScript();
};

void TestDataSheetObject::rowWindow_data()
{
    QTest::addColumn<int>("modelRows");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("numRows");
    QTest::addColumn<QString>("firstText");

    QTest::newRow("data below the title") << 10 << 2 << -1 << 8 << "r2";
    QTest::newRow("last row given") << 10 << 2 << 4 << 3 << "r2";
    QTest::newRow("last row beyond the model") << 10 << 2 << 50 << 8 << "r2";
    QTest::newRow("negative first row") << 10 << -3 << -1 << 10 << "r0";
    QTest::newRow("first row at the end is the whole model") << 10 << 10 << -1 << 10 << "r0";
    QTest::newRow("first row beyond is the whole model") << 10 << 99 << -1 << 10 << "r0";
    QTest::newRow("empty model") << 0 << 0 << -1 << 0 << "";
}

void TestDataSheetObject::rowWindow()
{
    QFETCH(int, modelRows);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(int, numRows);
    QFETCH(QString, firstText);

    QList<QStringList> rows;
    for (int r = 0; r < modelRows; ++r)
        rows.append({QStringLiteral("r%1").arg(r)});
    const auto model = csvModel(rows);
    DataSheetObject sheet;
    sheet.init(model.get(), {QStringLiteral("1")}, {QStringLiteral("A")}, firstRow, lastRow, true,
               false);
    QCOMPARE(sheet.numRows(), numRows);
    QCOMPARE(sheet.isEmpty(), numRows == 0);
    QCOMPARE(sheet.getText(0, 0), firstText);
    // Past the window there is no row, also where the model still has one.
    QCOMPARE(sheet.getText(numRows, 0), QString());
    QCOMPARE(sheet.getText(-1, 0), QString());
    QVERIFY(!sheet.setText(numRows, 0, QStringLiteral("x")));
    QVERIFY(!sheet.getValue(numRows, 0).isValid());
}

void TestDataSheetObject::columnsByIndexIdOrCaption()
{
    const auto model = csvModel({{"Name", "Ort", "Ort"}, {"Anna", "Berlin", "Bonn"}});
    DataSheetObject sheet;
    sheet.init(model.get(), threeIds, {"Name", "Ort", "ORT"}, 1, -1, true, false);

    QCOMPARE(sheet.numCols(), 3);
    QCOMPARE(sheet.colName(0), QStringLiteral("Name"));
    QCOMPARE(sheet.colName(0, false), QStringLiteral("1"));
    QCOMPARE(sheet.colName(3), QString());
    QCOMPARE(sheet.colName(-1), QString());
    QCOMPARE(sheet.colNo(QStringLiteral("nAmE")), 0);
    QCOMPARE(sheet.colNo(QStringLiteral("2"), false), 1);
    QCOMPARE(sheet.colNo(QStringLiteral("2")), -1);
    // Two captions equal but for case: the later column wins.
    QCOMPARE(sheet.colNo(QStringLiteral("ort")), 2);
    QCOMPARE(sheet.getText(0, QStringLiteral("NAME"), true), QStringLiteral("Anna"));
    QCOMPARE(sheet.getText(0, QStringLiteral("Name")), QString());
    QVERIFY(!sheet.getValue(0, QStringLiteral("Fehlt"), true).isValid());

    // From a script: a number is a column index, a text an id, or a caption when internal.
    QCOMPARE(evaluate(sheet, "DataSheetObject.setText(0, 1, 'x')"), QVariant(true));
    QCOMPARE(model->text(1, 1), QStringLiteral("x"));
    QCOMPARE(evaluate(sheet, "DataSheetObject.setText(0, 'Name', 'y')"), QVariant(false));
    QCOMPARE(evaluate(sheet, "DataSheetObject.setText(0, 'Name', 'y', true)"), QVariant(true));
    QCOMPARE(evaluate(sheet, "DataSheetObject.setText(0, '3', 'z')"), QVariant(true));
    QCOMPARE(model->text(1, 2), QStringLiteral("z"));
    QCOMPARE(evaluate(sheet, "DataSheetObject.getText(0, 'name', true)"), QVariant("y"));
    QCOMPARE(evaluate(sheet, "DataSheetObject.setText(0, 3, 'w')"), QVariant(false));
    // The title row is outside the window.
    QCOMPARE(model->text(0, 0), QStringLiteral("Name"));

    QCOMPARE(evaluate(sheet, "DataSheetObject.getValue(0, 0, 2)"), QVariant("y"));
    QCOMPARE(evaluate(sheet, "DataSheetObject.setValue(0, '2', 42)"), QVariant(true));
    QCOMPARE(model->text(1, 1), QStringLiteral("42"));
    // The CSV model takes no other role.
    QCOMPARE(evaluate(sheet, "DataSheetObject.setValue(0, 1, 'v', 6)"), QVariant(false));

    // Without a model there are no rows to read or write.
    DataSheetObject unbound;
    unbound.init(nullptr, threeIds, threeIds, 0, -1, true, false);
    QCOMPARE(unbound.numRows(), 0);
    QCOMPARE(unbound.numCols(), 3);
    QVERIFY(!unbound.setValue(0, 0, 1));
}

void TestDataSheetObject::typedReads_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("asBool");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<qlonglong>("asInt64");
    QTest::addColumn<double>("asDouble");

    constexpr int intMax = std::numeric_limits<int>::max();
    constexpr int intMin = std::numeric_limits<int>::min();
    constexpr qlonglong longMax = std::numeric_limits<qlonglong>::max();
    constexpr qlonglong longMin = std::numeric_limits<qlonglong>::min();

    QTest::newRow("grouped with decimal comma")
        << QVariant(QStringLiteral("1.234,5")) << true << 1234 << 1234LL << 1234.5;
    QTest::newRow("negative is cut toward zero")
        << QVariant(QStringLiteral("-1.234,5")) << true << -1234 << -1234LL << -1234.5;
    QTest::newRow("text with unit")
        << QVariant(QStringLiteral("12 kg")) << true << 12 << 12LL << 12.0;
    QTest::newRow("Ja with blanks") << QVariant(QStringLiteral(" Ja ")) << true << 0 << 0LL << 0.0;
    QTest::newRow("nein") << QVariant(QStringLiteral("nein")) << false << 0 << 0LL << 0.0;
    QTest::newRow("0 with blanks") << QVariant(QStringLiteral(" 0 ")) << false << 0 << 0LL << 0.0;
    QTest::newRow("other text") << QVariant(QStringLiteral("vielleicht")) << true << 0 << 0LL
                                << 0.0;
    QTest::newRow("text beyond int")
        << QVariant(QStringLiteral("3000000000")) << true << intMax << 3000000000LL << 3e9;
    QTest::newRow("text beyond everything")
        << QVariant(QStringLiteral("1e300")) << true << intMax << longMax << 1e300;
    QTest::newRow("text below everything")
        << QVariant(QStringLiteral("-1e300")) << true << intMin << longMin << -1e300;
    QTest::newRow("number rounds as the variant does") << QVariant(2.7) << true << 3 << 3LL << 2.7;
    QTest::newRow("number beyond int rounding up")
        << QVariant(2147483647.6) << true << intMax << 2147483648LL << 2147483647.6;
    QTest::newRow("number beyond everything")
        << QVariant(1e20) << true << intMax << longMax << 1e20;
    QTest::newRow("number below everything")
        << QVariant(-1e20) << true << intMin << longMin << -1e20;
    QTest::newRow("zero") << QVariant(0.0) << false << 0 << 0LL << 0.0;
    QTest::newRow("bool") << QVariant(true) << true << 1 << 1LL << 1.0;
    QTest::newRow("no value") << QVariant() << false << 0 << 0LL << 0.0;
}

void TestDataSheetObject::typedReads()
{
    QFETCH(QVariant, value);
    QFETCH(bool, asBool);
    QFETCH(int, asInt);
    QFETCH(qlonglong, asInt64);
    QFETCH(double, asDouble);

    auto document = newWorkbook();
    // The second cell keeps the row when the first one is blank.
    writeRows(
        *document,
        {{QStringLiteral("Wert"), QStringLiteral("Rest")}, {value, QStringLiteral("rechts")}});
    QXlsx::SheetModel model(document->currentWorksheet());
    DataSheetObject sheet;
    sheet.init(&model, {"A", "B"}, {"Wert", "Rest"}, 1, -1, true, false);
    QCOMPARE(sheet.getBool(0, 0), asBool);
    QCOMPARE(sheet.getInt(0, 0), asInt);
    QCOMPARE(sheet.getInt64(0, 0), asInt64);
    QCOMPARE(sheet.getDouble(0, 0), asDouble);
    QCOMPARE(sheet.getBool(0, QStringLiteral("a")), asBool);
    QCOMPARE(sheet.getInt(0, QStringLiteral("wert"), true), asInt);
}

void TestDataSheetObject::typedWritesInAWorksheet()
{
    auto document = newWorkbook();
    writeRows(*document, {{QStringLiteral("Titel")}, {QStringLiteral("alt")}});
    QXlsx::SheetModel model(document->currentWorksheet());
    DataSheetObject sheet;
    sheet.init(&model, {"A"}, {"Titel"}, 1, -1, true, false);

    QVERIFY(sheet.setInt(0, 0, 7));
    QCOMPARE(document->read(2, 1).toInt(), 7);
    QVERIFY(sheet.setDouble(0, QStringLiteral("A"), 2.5));
    QCOMPARE(document->read(2, 1), QVariant(2.5));
    QVERIFY(sheet.setBool(0, 0, true));
    QCOMPARE(document->read(2, 1), QVariant(true));
    QVERIFY(sheet.setString(0, QStringLiteral("titel"), QStringLiteral("neu"), true));
    QCOMPARE(sheet.getString(0, 0), QStringLiteral("neu"));
    QVERIFY(sheet.setInt64(0, 0, 1LL << 40));
    QCOMPARE(sheet.getInt64(0, 0), 1LL << 40);
    // A worksheet takes only the edit role.
    QVERIFY(!sheet.setInt64(0, 0, 5, Qt::DisplayRole));
    QVERIFY(!sheet.setInt(1, 0, 5));
}

void TestDataSheetObject::datesInAnyZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("Berlin") << QByteArray("Europe/Berlin");
    QTest::newRow("New York") << QByteArray("America/New_York");
    QTest::newRow("Kiritimati") << QByteArray("Pacific/Kiritimati");
    QTest::newRow("UTC") << QByteArray("UTC");
}

void TestDataSheetObject::datesInAnyZone()
{
    QFETCH(QByteArray, zone);
    const ZoneScope scope(zone);

    auto document = newWorkbook();
    writeRows(*document,
              {{QStringLiteral("Datum"), QStringLiteral("Zeit"), QStringLiteral("Text")},
               {QDate(2024, 1, 15), QVariant(), QStringLiteral("15.01.2024")}});
    QXlsx::SheetModel model(document->currentWorksheet());
    DataSheetObject sheet;
    sheet.init(&model, {"A", "B", "C"}, {"Datum", "Zeit", "Text"}, 1, -1, true, false);
    sheet.setWorkbook(document.get());

    // A date read and written back by a script stays the same day; so does a date it makes,
    // also in the night of the change to summer time in Berlin.
    const QVariant seen = evaluate(sheet, R"(
        DataSheetObject.setDate(0, 0, DataSheetObject.getDate(0, 0));
        var first = DataSheetObject.getDate(0, 0).getUTCDate();
        DataSheetObject.setDate(0, 0, new Date(2024, 2, 31));
        DataSheetObject.setDateTime(0, 'B', new Date(2024, 2, 31, 2, 30));
        var back = DataSheetObject.getDate(0, 0);
        var text = DataSheetObject.getDate(0, 'text', true);
        [first, back.getUTCFullYear(), back.getUTCMonth() + 1, back.getUTCDate(),
         text.getUTCFullYear(), text.getUTCMonth() + 1, text.getUTCDate()].join('-');
    )");
    QCOMPARE(seen, QVariant(QStringLiteral("15-2024-3-31-2024-1-15")));
    QCOMPARE(sheet.getDate(0, 0), QDate(2024, 3, 31));
    QCOMPARE(document->read(2, 1).toDate(), QDate(2024, 3, 31));
    QCOMPARE(sheet.getDateTime(0, 0), QDate(2024, 3, 31).startOfDay());
    QCOMPARE(sheet.getDate(0, 2), QDate(2024, 1, 15));
    QCOMPARE(sheet.getDateTime(0, 2), QDateTime());
    QCOMPARE(sheet.getDate(0, 1), QDate(2024, 3, 31));
    QVERIFY(!sheet.getDate(1, 0).isValid());
}

void TestDataSheetObject::datesFromCsvText()
{
    const auto model = csvModel({{"Datum"}, {"31.12.2024"}, {"2024-12-31"}, {"45000"}, {"x"}});
    DataSheetObject sheet;
    sheet.init(model.get(), {"1"}, {"Datum"}, 1, -1, true, false);
    QCOMPARE(sheet.getDate(0, 0), QDate(2024, 12, 31));
    // A date-time is read with the date-time format.
    QVERIFY(!sheet.getDateTime(0, 0).isValid());
    // Not the format: unread, unless the settings say ISO.
    QVERIFY(!sheet.getDate(1, 0).isValid());
    vondrel::DateTextSettings iso;
    iso.textToDateISO = true;
    sheet.setDateTextSettings(iso);
    QCOMPARE(sheet.getDate(1, 0), QDate(2024, 12, 31));
    // A number is a spreadsheet day.
    QCOMPARE(sheet.getDate(2, 0), QDate(2023, 3, 15));
    QVERIFY(!sheet.getDate(3, 0).isValid());

    // A CSV cell keeps what is written as text.
    QVERIFY(sheet.setDate(3, 0, QDate(2024, 2, 29)));
    QCOMPARE(model->text(4, 0), QStringLiteral("2024-02-29"));
}

void TestDataSheetObject::insertColumn()
{
    const auto csv = csvModel({{"Name", "Ort", "Betrag"}, {"Anna", "Berlin", "1,50"}});
    DataSheetObject sheet;
    sheet.init(csv.get(), threeIds, {"Name", "Ort", "Betrag"}, 1, -1, true, false);

    QCOMPARE(sheet.insertColumn(QStringLiteral("Länge")), 3);
    QCOMPARE(csv->columnCount(), 4);
    QCOMPARE(csv->text(0, 3), QStringLiteral("Länge"));
    QCOMPARE(sheet.colName(3, false), QStringLiteral("4"));
    QCOMPARE(sheet.colNo(QStringLiteral("LÄNGE")), 3);
    QVERIFY(sheet.setText(0, QStringLiteral("4"), QStringLiteral("6")));
    QCOMPARE(csv->text(1, 3), QStringLiteral("6"));
    // The existing columns stay where they were.
    QCOMPARE(csv->text(1, 2), QStringLiteral("1,50"));
    QCOMPARE(sheet.insertColumn(QStringLiteral("länge")), -1);
    QCOMPARE(sheet.insertColumn(QStringLiteral("ORT")), -1);
    QCOMPARE(csv->columnCount(), 4);

    // A worksheet names its columns by letters.
    auto document = newWorkbook();
    writeRows(*document,
              {{QStringLiteral("Name"), QStringLiteral("Ort")}, {QStringLiteral("Anna")}});
    QXlsx::SheetModel model(document->currentWorksheet());
    DataSheetObject workbook;
    workbook.init(&model, {"A", "B"}, {"Name", "Ort"}, 1, -1, true, false);
    QCOMPARE(workbook.insertColumn(QStringLiteral("Neu")), 2);
    QCOMPARE(workbook.colName(2, false), QStringLiteral("C"));
    QCOMPARE(document->read(1, 3), QVariant(QStringLiteral("Neu")));
    QVERIFY(workbook.setInt(0, QStringLiteral("c"), 5));
    QCOMPARE(document->read(2, 3).toInt(), 5);

    // Without a title the caption is the id.
    DataSheetObject untitled;
    untitled.init(&model, {"A", "B", "C"}, {"A", "B", "C"}, 0, -1, false, false);
    QCOMPARE(untitled.insertColumn(QStringLiteral("ignoriert")), 3);
    QCOMPARE(untitled.colName(3), QStringLiteral("D"));
    QCOMPARE(untitled.colNo(QStringLiteral("d")), 3);
    QVERIFY(!document->read(1, 4).isValid());

    // Refused, the table unchanged: no row above the data for the title, a column without a
    // name, the next id taken, no model.
    const auto table = csvModel({{"Name", "Ort"}, {"Anna", "Berlin"}});
    const QList<std::tuple<int, bool, QStringList>> refused {
        {0, true, {"1", "2"}}, {1, true, {"1"}}, {1, false, {"1", "3"}}};
    for (const auto &[firstRow, hasTitle, ids] : refused) {
        DataSheetObject other;
        other.init(table.get(), ids, ids, firstRow, -1, hasTitle, false);
        QCOMPARE(other.insertColumn(QStringLiteral("Neu")), -1);
    }
    QCOMPARE(table->columnCount(), 2);
    DataSheetObject noModel;
    noModel.init(nullptr, {}, {}, 1, -1, true, false);
    QCOMPARE(noModel.insertColumn(QStringLiteral("Neu")), -1);
}

void TestDataSheetObject::scaleNumericString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("sep");
    QTest::addColumn<QString>("expected");

    QTest::newRow("comma") << "1.234,56 €" << 2.0 << 0 << "2.469,12 €";
    QTest::newRow("any other is a point") << "EUR -1,234.5" << 2.0 << 7 << "EUR -2,469.0";
    QTest::newRow("not finite stays") << "1e308" << 1e10 << 1 << "1e308";
}

void TestDataSheetObject::scaleNumericString()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    QFETCH(int, sep);
    QFETCH(QString, expected);

    DataSheetObject sheet;
    QCOMPARE(sheet.scaleNumericString(text, factor, sep), expected);
}

void TestDataSheetObject::promptAndClipboard()
{
    DataSheetObject sheet;
    evaluate(sheet,
             "DataSheetObject.messageBox('Hinweis:', 'fertig'); "
             "DataSheetObject.toClipBoard('kopiert');");
    QCOMPARE(takePrompts(), QStringList({"Hinweis:|fertig"}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kopiert"));
}

void TestDataSheetObject::writeCreatesDirectoriesAndBom()
{
    DataSheetObject sheet;
    const QString target = path(QStringLiteral("neu/tiefer/bericht.txt"));
    for (const bool withBom : {true, false}) {
        const QByteArray mark = withBom ? "\xEF\xBB\xBF" : "";
        QCOMPARE(sheet.writeUtf8TextFileEx(target, QStringLiteral("Grüße\n"), withBom), QString());
        QCOMPARE(readFile(target), mark + "Gr\xC3\xBC\xC3\x9F" + "e\n");
        // An existing file is replaced whole.
        QVERIFY(sheet.writeUtf8TextFile(target, QStringLiteral("x"), withBom));
        QCOMPARE(readFile(target), mark + "x");
    }
}

void TestDataSheetObject::writeRefusesProtectedFiles_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("input field") << "in.csv";
    QTest::newRow("file the bytes came from") << "geladen.csv";
    QTest::newRow("output not written yet") << "out.csv";
    QTest::newRow("script") << "skript.js";
    QTest::newRow("options") << "vondrel.opt";
    QTest::newRow("symbolic link to the input") << "link.csv";
    QTest::newRow("hard link to the input") << "hart.csv";
    QTest::newRow("dangling link to the output") << "zur-ausgabe.csv";
    QTest::newRow("other spelling") << "unter/../in.csv";
    QTest::newRow("other letter case") << "IN.CSV";
    QTest::newRow("input through 41 links") << "kette0.csv";
}

void TestDataSheetObject::writeRefusesProtectedFiles()
{
    QFETCH(QString, target);

    for (const char *name : {"in.csv", "geladen.csv", "skript.js", "vondrel.opt"})
        writeFile(QLatin1String(name), "unberührt");
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("unter")));
    QVERIFY(QFile::link(path("in.csv"), path("link.csv")));
    QVERIFY(::link(QFile::encodeName(path("in.csv")).constData(),
                   QFile::encodeName(path("hart.csv")).constData()) == 0);
    QVERIFY(QFile::link(path("out.csv"), path("zur-ausgabe.csv")));
    // More links than a lookup follows, fewer than a save file does.
    for (int link = 0; link <= 40; ++link) {
        QVERIFY(QFile::link(link < 40 ? path(QStringLiteral("kette%1.csv").arg(link + 1))
                                      : path("in.csv"),
                            path(QStringLiteral("kette%1.csv").arg(link))));
    }

    DataSheetObject sheet;
    sheet.setProtectedFiles({path("in.csv"), path("geladen.csv"), path("out.csv"),
                             path("skript.js"), path("vondrel.opt")});
    const QString message =
        sheet.writeUtf8TextFileEx(path(target), QStringLiteral("überschrieben"), false);
    QVERIFY2(message.startsWith(QLatin1String("Fehler: ")), qPrintable(message));
    QVERIFY(message.contains(path(target)));
    QVERIFY(!sheet.writeUtf8TextFile(path(target), QStringLiteral("überschrieben"), false));
    for (const char *name : {"in.csv", "geladen.csv", "skript.js", "vondrel.opt"})
        QCOMPARE(readFile(path(QLatin1String(name))), QByteArray("unberührt"));
    QVERIFY(!QFileInfo::exists(path("out.csv")));

    // Beside them the script writes freely.
    QCOMPARE(sheet.writeUtf8TextFileEx(path("frei.txt"), QStringLiteral("ok"), false), QString());
}

void TestDataSheetObject::writeFailuresKeepTheFile()
{
    DataSheetObject sheet;
    writeFile("datei", "alt");

    // A directory cannot be created below a file.
    QString message = sheet.writeUtf8TextFileEx(path("datei/unter/x.txt"), "x", false);
    QCOMPARE(message,
             QStringLiteral("Fehler: Das Zielverzeichnis konnte nicht erstellt werden: ") +
                 path("datei/unter"));

    // A directory is no file.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("ordner")));
    message = sheet.writeUtf8TextFileEx(path("ordner"), "x", false);
    QVERIFY2(message.startsWith(QStringLiteral("Fehler beim Öffnen der Datei zum Schreiben: ")),
             qPrintable(message));
    QVERIFY(QFileInfo(path("ordner")).isDir());

    // A full disk, as far as this process can tell: files may not grow beyond 4 KiB.
    {
        const FileSizeLimit limit(4096);
        message = sheet.writeUtf8TextFileEx(path("datei"), QString(100000, u'x'), true);
    }
    QVERIFY2(message.startsWith(QStringLiteral("Fehler: Datei konnte nicht vollständig geschrieben "
                                               "werden (")),
             qPrintable(message));
    QVERIFY(message.endsWith(QLatin1String(" von 100003 Bytes).")));
    QCOMPARE(readFile(path("datei")), QByteArray("alt"));
    // No half-written file is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"datei"}));
}

void TestDataSheetObject::everyInvokableIsCallableFromAScript()
{
    // Each default argument adds a form of its own; the names in their order, each once.
    const QString names = QStringLiteral(
        "numRows isEmpty numCols colName colNo getText setText getText setText getValue setValue "
        "setInt setInt64 setDouble setBool setString setDate setDateTime getInt getInt64 "
        "getDouble getBool getString getDate getDateTime messageBox toClipBoard insertColumn "
        "scaleNumericString writeUtf8TextFile writeUtf8TextFileEx");
    const QMetaObject &meta = DataSheetObject::staticMetaObject;
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 73);
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QStringList found;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        QCOMPARE(method.methodType(), QMetaMethod::Method);
        if (found.isEmpty() || found.constLast() != QLatin1String(method.name()))
            found.append(QString::fromLatin1(method.name()));

        QStringList arguments;
        const QList<QByteArray> parameters = method.parameterNames();
        for (int p = 0; p < method.parameterCount(); ++p) {
            const QByteArray name = parameters.at(p);
            const QMetaType type = method.parameterMetaType(p);
            if (name == "filePath")
                arguments.append(QLatin1Char('\'') + path(QStringLiteral("aus.txt")) +
                                 QLatin1Char('\''));
            else if (name == "name")
                arguments.append(QStringLiteral("'1'"));
            else if (name == "dispName")
                arguments.append(QStringLiteral("'Neu'"));
            else if (type == QMetaType::fromType<QDate>() ||
                     type == QMetaType::fromType<QDateTime>())
                arguments.append(QStringLiteral("new Date(2024, 0, 15)"));
            else if (type == QMetaType::fromType<QString>() ||
                     type == QMetaType::fromType<QVariant>())
                arguments.append(QStringLiteral("'w'"));
            else if (type == QMetaType::fromType<bool>())
                arguments.append(QStringLiteral("false"));
            else if (name == "role")
                arguments.append(QStringLiteral("2"));
            else if (type == QMetaType::fromType<double>())
                arguments.append(QStringLiteral("1.5"));
            else
                arguments.append(QStringLiteral("0"));
        }
        const QString call =
            QStringLiteral("typeof DataSheetObject.%1(%2)")
                .arg(QString::fromLatin1(method.name()), arguments.join(QStringLiteral(", ")));

        const auto model = csvModel({{"Titel"}, {"12"}});
        DataSheetObject sheet;
        sheet.init(model.get(), {"1"}, {"Titel"}, 1, -1, true, false);
        bool failed = false;
        const QString type = evaluate(sheet, call, &failed).toString();
        QVERIFY2(!failed, qPrintable(call + QStringLiteral(": ") + type));

        const QMetaType returned = method.returnMetaType();
        QString expected = QStringLiteral("object");
        if (returned == QMetaType::fromType<void>())
            expected = QStringLiteral("undefined");
        else if (returned == QMetaType::fromType<bool>())
            expected = QStringLiteral("boolean");
        else if (returned == QMetaType::fromType<QString>() ||
                 returned == QMetaType::fromType<QVariant>())
            expected = QStringLiteral("string");
        else if (returned == QMetaType::fromType<int>() ||
                 returned == QMetaType::fromType<qlonglong>() ||
                 returned == QMetaType::fromType<double>())
            expected = QStringLiteral("number");
        QVERIFY2(type == expected, qPrintable(call + QStringLiteral(": ") + type));
    }
    QCOMPARE(found.join(QLatin1Char(' ')), names);
    QCOMPARE(takePrompts(), QStringList({"w|w"}));
    QCOMPARE(readFile(path("aus.txt")), QByteArray("w"));
}

QTEST_MAIN(TestDataSheetObject)
#include "tst_datasheetobject.moc"
