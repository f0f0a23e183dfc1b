#include "XlsxFixture.h"

#include <tables/CellDisplayText.h>
#include <tables/SheetModel.h>
#include <xlsx/Cell.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>
#include <xlsx/Format.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

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

const QLocale German(QLocale::German, QLocale::Germany);
constexpr auto TesterReports = QAbstractItemModelTester::FailureReportingMode::QtTest;

QString shown(const QString &code, double serial)
{
    Cell cell;
    cell.setValue(serial, Cell::NumberType);
    cell.setFormat(numberFormat(code));
    return cellDisplayText(&cell);
}

} // namespace

class TestSheetModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(German); }

    void displayText_data();
    void displayText();
    void followsTheLocale_data();
    void followsTheLocale();

    void headers();
    void rolesFromFormats();
    void edits();
    void refusedWriteChangesNothing_data();
    void refusedWriteChangesNothing();
    void sheetLimits();
    void appendedColumns();
    void emptyModels();
    void keepsItsDocumentAlive();

private:
    Workbook m_workbook;
};

void TestSheetModel::displayText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("serial");
    QTest::addColumn<QString>("text");

    const double dateTime = NewYearsEve + HalfPastTwo;
    const double quarterPastTwelve = 930.0 / 86400;
    QTest::newRow("slash") << "dd/mm/yyyy" << NewYearsEve << "31.12.2024";
    QTest::newRow("month, minutes") << "yyyy-mm-dd hh:mm" << dateTime << "2024-12-31 14:30";
    QTest::newRow("whole day") << "yyyy-mm-dd hh:mm" << NewYearsEve << "2024-12-31";
    QTest::newRow("time first") << "hh:mm dd.mm.yyyy" << NewYearsEve << "31.12.2024";
    QTest::newRow("before seconds") << "mm:ss" << quarterPastTwelve << "15:30";
    QTest::newRow("after hour, text") << "h \"Uhr\" m" << HalfPastTwo << "14 Uhr 30";
    QTest::newRow("time below one") << "hh:mm:ss" << HalfPastTwo << "14:30:00";
    QTest::newRow("time part") << "dd.mm.yyyy hh:mm" << HalfPastTwo << "14:30";
    QTest::newRow("elapsed hours") << "[h]:mm:ss" << HalfPastTwo << "14:30:00";
    QTest::newRow("elapsed hours past a day") << "[h]:mm:ss" << 1.5 << "36:00:00";
    QTest::newRow("elapsed hours, whole days") << "[h]:mm" << 2.0 << "48:00";
    QTest::newRow("elapsed minutes") << "[mm]:ss" << 1.5 / 24 << "90:00";
    QTest::newRow("elapsed seconds") << "[ss]" << 0.75 << "64800";
    const double quarterSecond = (14.5 * 3600 + 15.25) / 86400;
    QTest::newRow("hundredths") << "hh:mm:ss.00" << quarterSecond << "14:30:15,25";
    QTest::newRow("tenth rounds up") << "mm:ss.0" << 59.96 / 86400 << "01:00,0";
    QTest::newRow("milliseconds with date")
        << "dd.mm.yyyy hh:mm:ss.000" << NewYearsEve + quarterSecond << "31.12.2024 14:30:15,250";
    QTest::newRow("time on whole day") << "hh:mm" << NewYearsEve << "00:00";
    QTest::newRow("AM/PM") << "h:mm AM/PM" << HalfPastTwo << "2:30 PM";
    QTest::newRow("AM/PM, slashes") << "d/m/yyyy h:mm AM/PM" << dateTime << "31.12.2024 2:30 PM";
    QTest::newRow("[$-407], @") << "[$-407]dd.mm.yyyy;@" << NewYearsEve << "31.12.2024";
    QTest::newRow("quoted ;") << "dd\";\"mm" << NewYearsEve << "31;12";
    QTest::newRow("quoted /") << "dd\"/\"mm" << NewYearsEve << "31/12";
    QTest::newRow("names") << "dddd, d. mmmm yyyy" << NewYearsEve << "Dienstag, 31. Dezember 2024";
    QTest::newRow("quoted text") << "dd\" de \"mmmm" << NewYearsEve << "31 de Dezember";
    QTest::newRow("quote in text") << "dd\"'s\"" << NewYearsEve << "31's";
    QTest::newRow("escaped letter") << "yyyy-mm-dd\\Thh:mm" << dateTime << "2024-12-31T14:30";
    QTest::newRow("built-in 22") << "m/d/yy h:mm" << dateTime << "31.12.2024 14:30";
    QTest::newRow("time, date code") << "dd.mm.yyyy" << 0.5 << "0.5";
    QTest::newRow("beyond calendar") << "dd.mm.yyyy" << 2958466.0 << "2958466";
}

void TestSheetModel::displayText()
{
    QFETCH(QString, code);
    QFETCH(double, serial);
    QFETCH(QString, text);
    QCOMPARE(shown(code, serial), text);
}

void TestSheetModel::followsTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("German short date") << German << "mm-dd-yy"
                                       << "31.12.2024";
    QTest::newRow("US short date") << us << "mm-dd-yy"
                                   << "12/31/2024";
    QTest::newRow("US slashes") << us << "dd/mm/yyyy"
                                << "31/12/2024";
    QTest::newRow("Dutch dashes") << QLocale(QLocale::Dutch, QLocale::Netherlands) << "d/m/yyyy"
                                  << "31-12-2024";
    QTest::newRow("German again") << German << "mm-dd-yy"
                                  << "31.12.2024";
    QTest::newRow("US decimal point") << us << "h:mm:ss.0"
                                      << "0:00:00.0";
}

void TestSheetModel::followsTheLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, code);
    QFETCH(QString, text);

    QLocale::setDefault(locale);
    const QString result = shown(code, NewYearsEve);
    QLocale::setDefault(German);
    QCOMPARE(result, text);
}

void TestSheetModel::headers()
{
    const SheetModel model(m_workbook.addSheet(QStringLiteral("Kopf")));
    const QList<std::pair<int, QString>> letters = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {702, "ZZ"}, {703, "AAA"}};
    for (const auto &[column, text] : letters)
        QCOMPARE(model.headerData(column - 1, Qt::Horizontal).toString(), text);
    QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
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
    sheet->write(3, 2, QDate(2024, 12, 31), styled);
    sheet->write(2, 3, 3.5);

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

    const QModelIndex plain = model.index(1, 2);
    QCOMPARE(model.data(plain), QVariant(3.5));
    QVERIFY(!model.data(plain, Qt::FontRole).isValid());
    QVERIFY(!model.data(plain, Qt::BackgroundRole).isValid());
    QCOMPARE(model.data(plain, Qt::TextAlignmentRole).toInt(), int(Qt::AlignBottom));
    for (const int role : {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole})
        QVERIFY(!model.data(model.index(0, 0), role).isValid());
}

void TestSheetModel::edits()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Bearbeiten"));
    Format bold = numberFormat(QStringLiteral("dd.mm.yyyy"));
    bold.setFontBold(true);
    sheet->write(1, 1, 1.0, bold);
    sheet->write(1, 2, QStringLiteral("alt"));
    SheetModel model(sheet);
    const QAbstractItemModelTester tester(&model, TesterReports);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex date = model.index(0, 0);

    QVERIFY(model.setData(date, QDate(2024, 12, 31)));
    QCOMPARE(model.data(date), QVariant(QStringLiteral("31.12.2024")));
    QCOMPARE(sheet->cellAt(1, 1)->format(), bold);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(2).value<QList<int>>(), QList<int>({Qt::EditRole, Qt::DisplayRole}));
    QVERIFY(model.setData(model.index(0, 1), 42));
    QCOMPARE(sheet->cellAt(1, 2)->cellType(), Cell::NumberType);

    QVERIFY(!model.setData(date, QStringLiteral("neu"), Qt::DisplayRole));
    QVERIFY(!model.setData(QModelIndex(), QStringLiteral("neu")));
    QCOMPARE(changed.count(), 2);
}

void TestSheetModel::refusedWriteChangesNothing_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("text too long") << QVariant(QString(Worksheet::MaxTextLength + 1, u'x'));
    QTest::newRow("infinity") << QVariant(qInf());
    QTest::newRow("NaN") << QVariant(std::nan(""));
    QTest::newRow("date past 9999") << QVariant(QDate(10000, 1, 1));
    QTest::newRow("invalid date") << QVariant(QDate());
}

// A script's setText that a sheet refuses returns false; the old value must stay.
void TestSheetModel::refusedWriteChangesNothing()
{
    QFETCH(QVariant, value);
    Worksheet *sheet = m_workbook.addSheet(QString::fromLatin1(QTest::currentDataTag()));
    Format bold = numberFormat(QStringLiteral("dd.mm.yyyy"));
    bold.setFontBold(true);
    sheet->write(1, 1, NewYearsEve, bold);
    sheet->write(1, 2, QStringLiteral("=A1+1"));
    SheetModel model(sheet);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    for (const int column : {0, 1, 2}) {
        const QModelIndex index = model.index(0, column);
        const QVariant shown = model.data(index);
        const QVariant edited = model.data(index, Qt::EditRole);
        QVERIFY(!model.setData(index, value));
        QCOMPARE(model.data(index), shown);
        QCOMPARE(model.data(index, Qt::EditRole), edited);
    }
    QCOMPARE(sheet->cellAt(1, 1)->format(), bold);
    QCOMPARE(sheet->cellAt(1, 2)->formula().formulaText(), QStringLiteral("A1+1"));
    QVERIFY(changed.isEmpty());
}

void TestSheetModel::sheetLimits()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Grenzen"));
    sheet->write(MaxRowCount, MaxColumnCount, 1);
    SheetModel model(sheet);
    QCOMPARE(model.rowCount(), MaxRowCount);
    QVERIFY(model.setData(model.index(MaxRowCount - 1, 0), 2));
    QVERIFY(!model.setData(model.index(MaxRowCount, 0), 2));
    QVERIFY(!model.appendColumns(1));
    QCOMPARE(model.columnCount(), MaxColumnCount);
}

void TestSheetModel::appendedColumns()
{
    Worksheet *sheet = m_workbook.addSheet(QStringLiteral("Spalten"));
    sheet->write(2, 4, QStringLiteral("D2"));
    SheetModel model(sheet);
    const QAbstractItemModelTester tester(&model, TesterReports);

    QVERIFY(!model.appendColumns(0));
    QVERIFY(model.appendColumns(2));
    QCOMPARE(model.columnCount(), 6);
    QVERIFY(!model.data(model.index(1, 4)).isValid());
    QVERIFY(!model.data(model.index(1, 5)).isValid());

    // Writing into an announced column must not count it a second time.
    QVERIFY(model.setData(model.index(0, 4), QStringLiteral("Titel")));
    QCOMPARE(model.columnCount(), 6);
    QVERIFY(model.appendColumns(1));
    QCOMPARE(model.columnCount(), 7);
}

void TestSheetModel::emptyModels()
{
    SheetModel noSheet(static_cast<Worksheet *>(nullptr));
    QCOMPARE(noSheet.rowCount(), 0);
    QCOMPARE(noSheet.columnCount(), 0);
    QVERIFY(!noSheet.appendColumns(1));

    QBuffer broken;
    QCOMPARE(SheetModel(QSharedPointer<Document>::create(&broken)).columnCount(), 0);

    SheetModel emptySheet(m_workbook.addSheet(QStringLiteral("Leer")));
    QCOMPARE(emptySheet.columnCount(), 0);
    QVERIFY(emptySheet.appendColumns(1));
    QCOMPARE(emptySheet.columnCount(), 1);
    QCOMPARE(emptySheet.rowCount(), 0);
}

void TestSheetModel::keepsItsDocumentAlive()
{
    const QByteArray styles =
        R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs>)";
    const QByteArray first = R"(<row r="1"><c r="A1"><v>7</v></c></row>)";
    const QByteArray second = R"(<row r="1"><c r="A1" s="1"><v>45657</v></c></row>)";
    QSharedPointer<Document> document(
        XlsxFixture::load(
            XlsxFixture::workbook({{QStringLiteral("Eins"), XlsxFixture::sheetXml(first)},
                                   {QStringLiteral("Zwei"), XlsxFixture::sheetXml(second)}},
                                  {}, styles))
            .release());
    document->selectSheet(QStringLiteral("Zwei"));

    auto model = std::make_unique<SheetModel>(document);
    const QWeakPointer<Document> watch = document;
    document.reset();
    QVERIFY(!watch.isNull());
    // The stored built-in short date shows as the German user's short date.
    QCOMPARE(model->data(model->index(0, 0)), QVariant(QStringLiteral("31.12.2024")));
    model.reset();
    QVERIFY(watch.isNull());
}

QTEST_MAIN(TestSheetModel)
#include "tst_sheetmodel.moc"
