#include "Cell.h"
#include "CellDisplayText.h"
#include "CellReference.h"
#include "Document.h"
#include "ExcelDateFormat.h"
#include "Format.h"
#include "SheetModel.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "XlsxFixture.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QBuffer>
#include <QFont>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace QXlsx;

namespace {

// 31 December 2024 in the 1900 date system, and 14:30 as a fraction of a day.
constexpr double NewYearsEve = 45657;
constexpr double HalfPastTwo = 14.5 / 24;

Format numberFormat(const QString &code)
{
    Format format;
    format.setNumberFormat(code);
    return format;
}

// Makes the locale the default for the current scope, then puts German back.
struct DefaultLocale
{
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
};

} // namespace

class TestSheetModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void displayText_data();
    void displayText();
    void shortDateFollowsTheLocale();
    void qtPatterns_data();
    void qtPatterns();
    void localeSeparator_data();
    void localeSeparator();

    void headers_data();
    void headers();
    void rolesFromFormats();
    void editsWriteTypedValuesAndKeepTheStyle();
    void refusedWrites();
    void appendedColumns();
    void emptyModels();
    void showsTheDocumentsSheetAndKeepsItAlive();
    void passesTheModelTester();

private:
    Workbook m_workbook;
};

void TestSheetModel::displayText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("serial");
    QTest::addColumn<QString>("shown");

    const double dateTime = NewYearsEve + HalfPastTwo;
    QTest::newRow("slash becomes the locale's separator")
        << "dd/mm/yyyy" << NewYearsEve << "31.12.2024";
    QTest::newRow("month and minutes in one code")
        << "yyyy-mm-dd hh:mm" << dateTime << "2024-12-31 14:30";
    QTest::newRow("a whole day drops the time part")
        << "yyyy-mm-dd hh:mm" << NewYearsEve << "2024-12-31";
    QTest::newRow("time first, a whole day") << "hh:mm dd.mm.yyyy" << NewYearsEve << "31.12.2024";
    QTest::newRow("minutes before seconds") << "mm:ss" << 930.0 / 86400 << "15:30";
    QTest::newRow("minutes after an hour and text") << "h \"Uhr\" m" << HalfPastTwo << "14 Uhr 30";
    QTest::newRow("time of day below one") << "hh:mm:ss" << HalfPastTwo << "14:30:00";
    QTest::newRow("time part of a date-time code") << "dd.mm.yyyy hh:mm" << HalfPastTwo << "14:30";
    QTest::newRow("time code on a whole day") << "hh:mm" << NewYearsEve << "00:00";
    QTest::newRow("12-hour clock") << "h:mm AM/PM" << HalfPastTwo << "2:30 PM";
    QTest::newRow("12-hour date-time with slashes")
        << "d/m/yyyy h:mm AM/PM" << dateTime << "31.12.2024 2:30 PM";
    QTest::newRow("locale block and text section")
        << "[$-407]dd.mm.yyyy;@" << NewYearsEve << "31.12.2024";
    QTest::newRow("month and day names of the locale")
        << "dddd, d. mmmm yyyy" << NewYearsEve << "Dienstag, 31. Dezember 2024";
    QTest::newRow("quoted text stays literal")
        << "dd\" de \"mmmm" << NewYearsEve << "31 de Dezember";
    QTest::newRow("escaped letter stays literal")
        << "yyyy-mm-dd\\Thh:mm" << dateTime << "2024-12-31T14:30";
    QTest::newRow("built-in short date") << "mm-dd-yy" << NewYearsEve << "31.12.2024";
    QTest::newRow("built-in short date-time") << "m/d/yy h:mm" << dateTime << "31.12.2024 14:30";
    QTest::newRow("time of day under a date code") << "dd.mm.yyyy" << 0.5 << "0.5";
    QTest::newRow("beyond the calendar") << "dd.mm.yyyy" << 2958466.0 << "2958466";
    QTest::newRow("not a date code") << "0.00" << 3.5 << "3.5";
}

void TestSheetModel::displayText()
{
    QFETCH(QString, code);
    QFETCH(double, serial);
    QFETCH(QString, shown);

    Cell cell;
    cell.setValue(serial, Cell::NumberType);
    cell.setFormat(numberFormat(code));
    QCOMPARE(cellDisplayText(&cell), shown);
    QCOMPARE(cellDisplayText(nullptr), QString());
}

void TestSheetModel::shortDateFollowsTheLocale()
{
    Cell cell;
    cell.setValue(NewYearsEve, Cell::NumberType);
    cell.setFormat(numberFormat(QStringLiteral("mm-dd-yy")));
    QCOMPARE(cellDisplayText(&cell), QStringLiteral("31.12.2024"));
    {
        const DefaultLocale scope(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(cellDisplayText(&cell), QStringLiteral("12/31/2024"));
    }
    QCOMPARE(cellDisplayText(&cell), QStringLiteral("31.12.2024"));
}

void TestSheetModel::qtPatterns_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("date and time") << "yyyy-mm-dd hh:mm:ss"
                                   << "yyyy-MM-dd hh:mm:ss";
    QTest::newRow("elapsed hours") << "[h]:mm:ss"
                                   << "h:mm:ss";
    QTest::newRow("lower-case marker") << "hh:mm am/pm"
                                       << "hh:mm ap";
    QTest::newRow("colour blocks and sections") << "[Red]dd.mm.yyyy;[Blue]@"
                                                << "dd.MM.yyyy";
    QTest::newRow("quoted semicolon") << "dd\";\"mm"
                                      << "dd;MM";
    QTest::newRow("quote inside text") << "dd\"'s\""
                                       << "dd'''s'";
    QTest::newRow("padding and fill") << "dd.mm.yyyy_)*-"
                                      << "dd.MM.yyyy ";
    QTest::newRow("short year, month name") << "d-mmm-yy"
                                            << "d-MMM-yy";
}

void TestSheetModel::qtPatterns()
{
    QFETCH(QString, code);
    QFETCH(QString, pattern);
    QCOMPARE(excelFormatToQtDateFormat(code), pattern);
}

void TestSheetModel::localeSeparator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("result");

    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("German") << german << "dd/mm/yyyy"
                            << "dd.mm.yyyy";
    QTest::newRow("US keeps slashes")
        << QLocale(QLocale::English, QLocale::UnitedStates) << "m/d/yy"
        << "m/d/yy";
    QTest::newRow("Dutch") << QLocale(QLocale::Dutch, QLocale::Netherlands) << "dd/mm"
                           << "dd-mm";
    QTest::newRow("markers, quotes and escapes") << german << "h AM/PM A/P \"/\"\\/[$/]/"
                                                 << "h AM/PM A/P \"/\"\\/[$/].";
}

void TestSheetModel::localeSeparator()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, code);
    QFETCH(QString, result);

    const DefaultLocale scope(locale);
    applyLocaleDateSeparator(code);
    QCOMPARE(code, result);
}

void TestSheetModel::headers_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("letters");

    QTest::newRow("first") << 0 << "A";
    QTest::newRow("26") << 25 << "Z";
    QTest::newRow("27") << 26 << "AA";
    QTest::newRow("28") << 27 << "AB";
    QTest::newRow("702") << 701 << "ZZ";
    QTest::newRow("703") << 702 << "AAA";
    QTest::newRow("last") << 16383 << "XFD";
}

void TestSheetModel::headers()
{
    QFETCH(int, section);
    QFETCH(QString, letters);

    const SheetModel model(m_workbook.addSheet(QStringLiteral("Kopf")));
    QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), letters);
    QCOMPARE(model.headerData(section, Qt::Vertical).toString(), QString::number(section + 1));
    QVERIFY(!model.headerData(section, Qt::Horizontal, Qt::ToolTipRole).isValid());
}

void TestSheetModel::rolesFromFormats()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Formate"));
    Format styled = numberFormat(QStringLiteral("dd/mm/yyyy"));
    styled.setFontBold(true);
    styled.setFontColor(Qt::red);
    styled.setPatternBackgroundColor(Qt::yellow);
    styled.setHorizontalAlignment(Format::AlignRight);
    styled.setVerticalAlignment(Format::AlignTop);
    QVERIFY(sheet->write(3, 2, QDate(2024, 12, 31), styled));
    QVERIFY(sheet->write(2, 2, QStringLiteral("=B3+1")));
    QVERIFY(sheet->write(2, 3, 3.5));

    // The model starts at A1, not at the first used cell.
    const SheetModel model(sheet);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 3);

    const QModelIndex date = model.index(2, 1);
    QCOMPARE(model.data(date), QVariant(QStringLiteral("31.12.2024")));
    QCOMPARE(model.data(date, Qt::EditRole), QVariant(QDate(2024, 12, 31)));
    QVERIFY(model.data(date, Qt::FontRole).value<QFont>().bold());
    QCOMPARE(model.data(date, Qt::ForegroundRole).value<QBrush>(), QBrush(Qt::red));
    QCOMPARE(model.data(date, Qt::BackgroundRole).value<QBrush>(), QBrush(Qt::yellow));
    QCOMPARE(model.data(date, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignTop));

    QCOMPARE(model.data(model.index(1, 1), Qt::EditRole), QVariant(QStringLiteral("=B3+1")));
    const QModelIndex plain = model.index(1, 2);
    QCOMPARE(model.data(plain), QVariant(3.5));
    QVERIFY(!model.data(plain, Qt::FontRole).isValid());
    QVERIFY(!model.data(plain, Qt::BackgroundRole).isValid());
    QCOMPARE(model.data(plain, Qt::TextAlignmentRole).toInt(), int(Qt::AlignBottom));
    QVERIFY(!model.data(plain, Qt::ToolTipRole).isValid());

    for (const int role : {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole})
        QVERIFY(!model.data(model.index(0, 0), role).isValid());
}

void TestSheetModel::editsWriteTypedValuesAndKeepTheStyle()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Bearbeiten"));
    Format bold = numberFormat(QStringLiteral("dd.mm.yyyy"));
    bold.setFontBold(true);
    sheet->write(1, 1, 1.0, bold);
    sheet->write(1, 2, QStringLiteral("alt"));
    SheetModel model(sheet);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex date = model.index(0, 0);
    const QModelIndex text = model.index(0, 1);

    QVERIFY(model.setData(date, QDate(2024, 12, 31)));
    QCOMPARE(model.data(date), QVariant(QStringLiteral("31.12.2024")));
    QCOMPARE(sheet->cellAt(1, 1)->format(), bold);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), date);
    QCOMPARE(changed.at(0).at(2).value<QList<int>>(), QList<int>({Qt::EditRole, Qt::DisplayRole}));

    QVERIFY(model.setData(text, 42));
    QCOMPARE(sheet->cellAt(1, 2)->cellType(), Cell::NumberType);
    QVERIFY(model.setData(text, QStringLiteral("=A1")));
    QCOMPARE(sheet->cellAt(1, 2)->formula().formulaText(), QStringLiteral("A1"));

    QVERIFY(!model.setData(text, QStringLiteral("neu"), Qt::DisplayRole));
    QVERIFY(!model.setData(QModelIndex(), QStringLiteral("neu")));
    QCOMPARE(changed.count(), 3);

    // A value no cell can hold blanks the cell; the views must learn that, too.
    QVERIFY(!model.setData(date, std::nan("")));
    QCOMPARE(changed.count(), 4);
    QVERIFY(!model.data(date).isValid());
}

void TestSheetModel::refusedWrites()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Grenzen"));
    sheet->write(MaxRowCount, MaxColumnCount, 1);
    SheetModel model(sheet);
    QCOMPARE(model.rowCount(), MaxRowCount);

    QVERIFY(model.setData(model.index(MaxRowCount - 1, 0), 2));
    QVERIFY(!model.index(MaxRowCount, 0).isValid());
    QVERIFY(!model.setData(model.index(MaxRowCount, 0), 2));
    QVERIFY(!model.appendColumns(1));
    QCOMPARE(model.columnCount(), MaxColumnCount);
}

void TestSheetModel::appendedColumns()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Spalten"));
    sheet->write(2, 4, QStringLiteral("D2"));
    SheetModel model(sheet);
    QSignalSpy inserted(&model, &QAbstractItemModel::columnsInserted);

    QVERIFY(!model.appendColumns(0));
    QVERIFY(model.appendColumns(2));
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 4);
    QCOMPARE(inserted.at(0).at(2).toInt(), 5);
    QVERIFY(!model.data(model.index(1, 4)).isValid());
    QVERIFY(!model.data(model.index(1, 5)).isValid());
    QCOMPARE(model.headerData(5, Qt::Horizontal).toString(), QStringLiteral("F"));

    // Writing into an announced column must not count it a second time.
    QVERIFY(model.setData(model.index(0, 4), QStringLiteral("Titel")));
    QCOMPARE(model.columnCount(), 6);
    QVERIFY(model.appendColumns(1));
    QCOMPARE(model.columnCount(), 7);
    QCOMPARE(model.data(model.index(0, 4)), QVariant(QStringLiteral("Titel")));
}

void TestSheetModel::emptyModels()
{
    SheetModel noSheet(static_cast<Worksheet *>(nullptr));
    QCOMPARE(noSheet.rowCount(), 0);
    QCOMPARE(noSheet.columnCount(), 0);
    QVERIFY(!noSheet.appendColumns(1));

    QBuffer broken;
    SheetModel noDocument(QSharedPointer<Document>::create(&broken));
    QCOMPARE(noDocument.columnCount(), 0);

    SheetModel emptySheet(m_workbook.addSheet(QStringLiteral("Leer")));
    QCOMPARE(emptySheet.rowCount(), 0);
    QCOMPARE(emptySheet.columnCount(), 0);
    QVERIFY(emptySheet.appendColumns(1));
    QCOMPARE(emptySheet.columnCount(), 1);
    QCOMPARE(emptySheet.rowCount(), 0);
}

void TestSheetModel::showsTheDocumentsSheetAndKeepsItAlive()
{
    const QByteArray styles =
        R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14" applyNumberFormat="1"/></cellXfs>)";
    const QByteArray dateRow = R"(<row r="1"><c r="A1" s="1"><v>45657</v></c></row>)";
    const QByteArray otherRow = R"(<row r="1"><c r="A1"><v>7</v></c></row>)";
    auto document = QSharedPointer<Document>(
        XlsxFixture::load(
            XlsxFixture::workbook({{QStringLiteral("Erstes"), XlsxFixture::sheetXml(otherRow)},
                                   {QStringLiteral("Datum"), XlsxFixture::sheetXml(dateRow)}},
                                  {}, styles))
            .release());
    QVERIFY(document->selectSheet(QStringLiteral("Datum")));

    auto model = std::make_unique<SheetModel>(document);
    const QWeakPointer<Document> watch = document;
    document.reset();
    QVERIFY(!watch.isNull());
    // The stored built-in short date shows as the German user's short date.
    QCOMPARE(model->data(model->index(0, 0)), QVariant(QStringLiteral("31.12.2024")));
    model.reset();
    QVERIFY(watch.isNull());
}

void TestSheetModel::passesTheModelTester()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Prüfung"));
    Format styled = numberFormat(QStringLiteral("hh:mm"));
    styled.setFontItalic(true);
    styled.setPatternBackgroundColor(Qt::green);
    for (int row = 1; row <= 5; ++row)
        for (int column = 1; column <= 3; ++column)
            sheet->write(row, column, row * column * 0.1, column == 2 ? styled : Format());
    SheetModel model(sheet);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(model.appendColumns(2));
    QVERIFY(model.setData(model.index(4, 4), QStringLiteral("neu")));
    QCOMPARE(model.columnCount(), 5);
}

QTEST_MAIN(TestSheetModel)
#include "tst_sheetmodel.moc"
