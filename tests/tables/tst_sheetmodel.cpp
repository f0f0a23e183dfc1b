#include "Cell.h"
#include "CellDisplayText.h"
#include "ExcelDateFormat.h"
#include "Format.h"

#include <QTest>

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

QTEST_MAIN(TestSheetModel)
#include "tst_sheetmodel.moc"
