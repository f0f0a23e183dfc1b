#include "XlsxFixture.h"

#include <xlsx/CellRange.h>
#include <xlsx/CellReference.h>
#include <xlsx/DateSerial.h>
#include <xlsx/FormulaShifter.h>
#include <xlsx/NumberFormats.h>
#include <xlsx/XmlPullReader.h>
#include <xlsx/XmlText.h>
#include <xlsx/ZipEntryReader.h>
#include <xlsx/ZipReader.h>

#include <QDateTime>
#include <QTest>

#include <cmath>
#include <limits>

using namespace QXlsx;

// The value conversions of the XLSX layer: positions, serial dates, number format codes, text
// escapes and formula references.
class TestXlsxValues : public QObject
{
    Q_OBJECT

private slots:
    void columnLetters_data();
    void columnLetters();
    void cellPositions_data();
    void cellPositions();
    void serialToDate_data();
    void serialToDate();
    void dateToSerial_data();
    void dateToSerial();
    void daylightSavingGap();
    void dateTimeFormats_data();
    void dateTimeFormats();
    void xmlEscapes_data();
    void xmlEscapes();
    void shiftFormula_data();
    void shiftFormula();
    void pullReader_data();
    void pullReader();
    void zipEntryPieces_data();
    void zipEntryPieces();
};

void TestXlsxValues::columnLetters_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("letters");
    QTest::newRow("1") << 1 << "A";
    QTest::newRow("26") << 26 << "Z";
    QTest::newRow("27") << 27 << "AA";
    QTest::newRow("28") << 28 << "AB";
    QTest::newRow("52") << 52 << "AZ";
    QTest::newRow("702") << 702 << "ZZ";
    QTest::newRow("703") << 703 << "AAA";
    QTest::newRow("16384") << 16384 << "XFD";
}

void TestXlsxValues::columnLetters()
{
    QFETCH(int, column);
    QFETCH(QString, letters);
    QCOMPARE(QXlsx::columnLetters(column), letters);
    QCOMPARE(columnNumber(letters), column);
    QCOMPARE(columnNumber(letters.toLower()), column);
}

void TestXlsxValues::cellPositions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("lastColumn");
    QTest::newRow("cell") << "B3" << 3 << 2 << 3 << 2;
    QTest::newRow("range") << "B2:C3" << 2 << 2 << 3 << 3;
    QTest::newRow("absolute") << "$A$1:$XFD$1048576" << 1 << 1 << 1048576 << 16384;
    QTest::newRow("reversed") << "C3:B2" << 0 << 0 << 0 << 0;
    QTest::newRow("row too large") << "A1048577" << 0 << 0 << 0 << 0;
    QTest::newRow("column too large") << "XFE1" << 0 << 0 << 0 << 0;
    QTest::newRow("row zero") << "A0" << 0 << 0 << 0 << 0;
    QTest::newRow("no row") << "AB" << 0 << 0 << 0 << 0;
    QTest::newRow("junk") << "A1x" << 0 << 0 << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0 << 0 << 0;
}

void TestXlsxValues::cellPositions()
{
    QFETCH(QString, text);
    QFETCH(int, firstRow);
    QFETCH(int, firstColumn);
    QFETCH(int, lastRow);
    QFETCH(int, lastColumn);
    const CellRange range = CellRange::fromString(text);
    QCOMPARE(range, CellRange(firstRow, firstColumn, lastRow, lastColumn));
    QCOMPARE(range.isValid(), firstRow > 0);
    if (range.isValid())
        QCOMPARE(CellRange::fromString(range.toString()), range);
    else
        QCOMPARE(range.rowCount(), 0);
}

void TestXlsxValues::serialToDate_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("is1904");
    QTest::addColumn<QVariant>("expected");
    const auto local = [](int y, int mo, int d, int h, int mi, int s, int ms) {
        return QVariant(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)));
    };
    QTest::newRow("1") << 1.0 << false << QVariant(QDate(1900, 1, 1));
    QTest::newRow("59") << 59.0 << false << QVariant(QDate(1900, 2, 28));
    // 60 is the fictitious 29 February 1900; it and 61 both land on 1 March.
    QTest::newRow("60") << 60.0 << false << QVariant(QDate(1900, 3, 1));
    QTest::newRow("61") << 61.0 << false << QVariant(QDate(1900, 3, 1));
    QTest::newRow("45000") << 45000.0 << false << QVariant(QDate(2023, 3, 15));
    QTest::newRow("time only") << 0.75 << false << QVariant(QTime(18, 0));
    QTest::newRow("zero") << 0.0 << false << QVariant(QTime(0, 0));
    QTest::newRow("fraction") << 45000.5 << false << local(2023, 3, 15, 12, 0, 0, 0);
    QTest::newRow("milliseconds") << 45000.0 + 1.0 / 86400000 << false
                                  << local(2023, 3, 15, 0, 0, 0, 1);
    QTest::newRow("rounds up to next day")
        << 44999.9999999999 << false << QVariant(QDate(2023, 3, 15));
    QTest::newRow("autumn repeat hour")
        << 45592.0 + 2.5 / 24 << false << local(2024, 10, 27, 2, 30, 0, 0);
    QTest::newRow("1904 zero day plus") << 1.0 << true << QVariant(QDate(1904, 1, 2));
    QTest::newRow("1904") << 43538.0 << true << QVariant(QDate(2023, 3, 15));
    QTest::newRow("last day") << 2958465.0 << false << QVariant(QDate(9999, 12, 31));
    QTest::newRow("after last day") << 2958466.0 << false << QVariant();
    QTest::newRow("negative") << -1.0 << false << QVariant();
    QTest::newRow("nan") << std::nan("") << false << QVariant();
    QTest::newRow("infinity") << HUGE_VAL << false << QVariant();
    QTest::newRow("minus infinity") << -HUGE_VAL << true << QVariant();
    QTest::newRow("1e300") << 1e300 << false << QVariant();
    QTest::newRow("-1e300") << -1e300 << false << QVariant();
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << true << QVariant();
}

void TestXlsxValues::serialToDate()
{
    QFETCH(double, serial);
    QFETCH(bool, is1904);
    QFETCH(QVariant, expected);
    const QVariant actual = datetimeFromNumber(serial, is1904);
    QCOMPARE(actual.metaType(), expected.metaType());
    QCOMPARE(actual, expected);
}

void TestXlsxValues::dateToSerial_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("is1904");
    QTest::addColumn<double>("serial");
    QTest::newRow("1900-01-01") << QVariant(QDate(1900, 1, 1)) << false << 1.0;
    QTest::newRow("1900-02-28") << QVariant(QDate(1900, 2, 28)) << false << 59.0;
    QTest::newRow("1900-03-01") << QVariant(QDate(1900, 3, 1)) << false << 61.0;
    QTest::newRow("date") << QVariant(QDate(2023, 3, 15)) << false << 45000.0;
    QTest::newRow("1904 date") << QVariant(QDate(2023, 3, 15)) << true << 43538.0;
    QTest::newRow("time") << QVariant(QTime(6, 0)) << false << 0.25;
    QTest::newRow("date-time") << QVariant(QDateTime(QDate(2023, 3, 15), QTime(18, 0))) << false
                               << 45000.75;
    // A UTC value keeps its own fields; it is not converted to local time first.
    QTest::newRow("utc date-time")
        << QVariant(QDateTime(QDate(2023, 3, 15), QTime(18, 0), Qt::UTC)) << false << 45000.75;
    QTest::newRow("before 1900") << QVariant(QDate(1899, 12, 31)) << false << -1.0;
    QTest::newRow("before 1904") << QVariant(QDate(1903, 12, 31)) << true << -1.0;
    QTest::newRow("invalid date") << QVariant(QDate()) << false << -1.0;
    QTest::newRow("text") << QVariant(QStringLiteral("2023-03-15")) << false << -1.0;
}

void TestXlsxValues::dateToSerial()
{
    QFETCH(QVariant, value);
    QFETCH(bool, is1904);
    QFETCH(double, serial);
    const std::optional<double> actual = toSerialNumber(value, is1904);
    QCOMPARE(actual.has_value(), serial >= 0);
    if (actual)
        QCOMPARE(*actual, serial);
}

void TestXlsxValues::daylightSavingGap()
{
    // 31 March 2024 02:30 does not exist in Berlin; the spreadsheet value must survive anyway.
    QCOMPARE(qgetenv("TZ"), QByteArray("Europe/Berlin"));
    const double serial = 45382.0 + 2.5 / 24;
    const QVariant value = datetimeFromNumber(serial);
    QCOMPARE(value.metaType().id(), QMetaType::QDateTime);
    const QDateTime dateTime = value.toDateTime();
    QVERIFY(dateTime.isValid());
    QCOMPARE(dateTime.date(), QDate(2024, 3, 31));
    QCOMPARE(dateTime.time(), QTime(2, 30));
    QCOMPARE(toSerialNumber(value).value_or(-1), serial);

    // Either side of the gap stays in local time, an hour apart as on the wall clock.
    const QDateTime before = datetimeFromNumber(45382.0 + 1.5 / 24).toDateTime();
    const QDateTime after = datetimeFromNumber(45382.0 + 3.5 / 24).toDateTime();
    QCOMPARE(before.timeSpec(), Qt::LocalTime);
    QCOMPARE(after.time(), QTime(3, 30));
    QCOMPARE(before.secsTo(after), 3600);
    // A local time in the gap, as Qt builds it invalid, still converts by its fields.
    QCOMPARE(toSerialNumber(QDateTime(QDate(2024, 3, 31), QTime(2, 30))).value_or(-1), serial);
}

void TestXlsxValues::dateTimeFormats_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("isDate");
    QTest::newRow("General") << "General" << false;
    QTest::newRow("number") << "#,##0.00" << false;
    QTest::newRow("scientific") << "0.00E+00" << false;
    QTest::newRow("text") << "@" << false;
    QTest::newRow("built-in date") << builtInNumberFormat(14) << true;
    QTest::newRow("german date") << "dd.mm.yyyy" << true;
    QTest::newRow("locale prefix") << "[$-407]dd.mm.yyyy;@" << true;
    QTest::newRow("time") << "hh:mm" << true;
    QTest::newRow("elapsed hours") << "[h]:mm:ss" << true;
    QTest::newRow("elapsed minutes only") << "[mm]" << true;
    QTest::newRow("colour") << "[Red]0.00" << false;
    QTest::newRow("currency") << "#,##0.00 [$€-407]" << false;
    QTest::newRow("quoted words") << "0 \"days\"" << false;
    QTest::newRow("escaped letter") << "0\\d" << false;
    QTest::newRow("padding") << "#,##0_d" << false;
    QTest::newRow("date in second section") << "0;dd.mm.yyyy" << false;
    QTest::newRow("date after quotes") << "\"Am \"dd.mm." << true;
}

void TestXlsxValues::dateTimeFormats()
{
    QFETCH(QString, code);
    QFETCH(bool, isDate);
    QCOMPARE(isDateTimeNumberFormat(code), isDate);
}

void TestXlsxValues::xmlEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("plain") << "Müller & Söhne"
                           << "Müller & Söhne";
    QTest::newRow("tab and newline") << "a\tb\nc"
                                     << "a\tb\nc";
    QTest::newRow("carriage return") << "a\r\nb"
                                     << "a_x000D_\nb";
    QTest::newRow("control") << QStringLiteral("a\u0001b") << "a_x0001_b";
    QTest::newRow("literal escape") << "_x0041_"
                                    << "_x005F_x0041_";
    QTest::newRow("underscore alone") << "a_b_x"
                                      << "a_b_x";
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << "_xD800_";
    QTest::newRow("surrogate pair")
        << QString::fromUcs4(U"\U0001F600") << QString::fromUcs4(U"\U0001F600");
}

void TestXlsxValues::xmlEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(encodeXmlEscapes(text), encoded);
    QCOMPARE(decodeXmlEscapes(encoded), text);
}

void TestXlsxValues::shiftFormula_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("relative") << "A1*2" << 1 << 0 << "A2*2";
    QTest::newRow("mixed") << "$A$1+B$1+$C1+D1" << 2 << 1 << "$A$1+C$1+$C3+E3";
    QTest::newRow("range") << "SUM(A1:B2)" << 3 << 0 << "SUM(A4:B5)";
    QTest::newRow("function like a cell") << "LOG10(A1)" << 1 << 0 << "LOG10(A2)";
    QTest::newRow("sheet") << "Sheet1!A1+'My Sheet'!B2" << 1 << 1 << "Sheet1!B2+'My Sheet'!C3";
    QTest::newRow("string literal") << "\"A1\"&A1" << 1 << 0 << "\"A1\"&A2";
    QTest::newRow("columns") << "SUM(A:B)" << 5 << 1 << "SUM(B:C)";
    QTest::newRow("rows") << "SUM(1:$2)" << 1 << 5 << "SUM(2:$2)";
    QTest::newRow("number with exponent") << "A1*1E5" << 1 << 0 << "A2*1E5";
    QTest::newRow("structured reference") << "Table1[Col A1]+A1" << 1 << 0 << "Table1[Col A1]+A2";
    QTest::newRow("name") << "TRUE+Rate_2024" << 1 << 1 << "TRUE+Rate_2024";
    QTest::newRow("off the sheet") << "A1" << -1 << 0 << "#REF!";
    QTest::newRow("error literal") << "#REF!+A1" << 0 << 1 << "#REF!+B1";
}

void TestXlsxValues::shiftFormula()
{
    QFETCH(QString, formula);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, expected);
    QCOMPARE(QXlsx::shiftFormula(formula, rows, columns), expected);
}

namespace {

// The tokens of a document as one line each, or "error: ..." when reading fails.
QStringList tokens(XmlPullReader &xml)
{
    QStringList lines;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case XmlPullReader::StartElement: {
            QString line = u'<' + QString::fromUtf8(xml.name());
            for (const char *attribute : {"a", "b"})
                if (!xml.attribute(attribute).isNull())
                    line += u' ' + QLatin1String(attribute) + u'=' +
                        QString::fromUtf8(xml.attribute(attribute));
            lines.append(line);
            break;
        }
        case XmlPullReader::EndElement:
            lines.append(QStringLiteral("</") + QString::fromUtf8(xml.name()));
            break;
        case XmlPullReader::Characters:
            // Long text may come in pieces; join them.
            if (!lines.isEmpty() && lines.last().startsWith(u'"'))
                lines.last() += QString::fromUtf8(xml.text());
            else
                lines.append(u'"' + QString::fromUtf8(xml.text()));
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        lines.append(QStringLiteral("error: ") + xml.errorString());
    return lines;
}

} // namespace

void TestXlsxValues::pullReader_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("elements") << QByteArray(
                                     "<?xml version=\"1.0\"?>\n<x:r a='1' b = \"2\"><c/>t</x:r>\n")
                              << QStringList {"<r a=1 b=2", "<c", "</c", "\"t", "</r"};
    QTest::newRow("references") << QByteArray(
                                       "<r a=\"&lt;&#x41;&#66;\">&amp;&quot;&apos;&#x20AC;</r>")
                                << QStringList {"<r a=<AB", "\"&\"'€", "</r"};
    QTest::newRow("line ends") << QByteArray("<r a=\"x\r\ny\tz\">1\r\n2\r3&#13;</r>")
                               << QStringList {"<r a=x y z", "\"1\n2\n3\r", "</r"};
    QTest::newRow("cdata, comments")
        << QByteArray("<!-- a --><r><![CDATA[<&]]><!-- b --><?pi x?>z</r><!-- c -->")
        << QStringList {"<r", "\"<&z", "</r"};
    QTest::newRow("utf-16") << (QByteArray("\xFF\xFE") +
                                QByteArray(reinterpret_cast<const char *>(u"<r>Köln</r>"), 22))
                            << QStringList {"<r", "\"Köln", "</r"};
    QTest::newRow("latin-1") << QByteArray(
                                    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>K\xF6ln</r>")
                             << QStringList {"<r", "\"Köln", "</r"};
    const QByteArray longText = QString(3 << 19, QChar(0x20AC)).toUtf8() + "&amp;\r\n";
    QTest::newRow("long text") << "<r>" + longText +
            "</r>" << QStringList {"<r", u'"' + QString(3 << 19, QChar(0x20AC)) + "&\n", "</r"};
    QTest::newRow("crossed") << QByteArray("<r><c></r></c>")
                             << QStringList {"<r", "<c",
                                             "error: Endelement ohne passendes Startelement"};
    QTest::newRow("truncated") << QByteArray("<r><c>")
                               << QStringList {"<r", "<c", "error: unerwartetes Dateiende"};
    QTest::newRow("two roots") << QByteArray("<r/><r/>")
                               << QStringList {"<r", "</r", "error: mehr als ein Wurzelelement"};
    QTest::newRow("unknown entity")
        << QByteArray("<r>&nbsp;</r>") << QStringList {"<r", "error: ungültiger Verweis „&nbsp;“"};
    // The replacement character is an ordinary character, however it is written.
    QTest::newRow("replacement character")
        << QByteArray("<r a=\"&#xFFFD;\">&#xFFFD;&#65533;\xEF\xBF\xBD</r>")
        << QStringList {"<r a=\uFFFD", "\"\uFFFD\uFFFD\uFFFD", "</r"};
    QTest::newRow("forbidden character")
        << QByteArray("<r>&#1;</r>") << QStringList {"<r", "error: ungültiger Verweis „&#1;“"};
    QTest::newRow("control character")
        << QByteArray("<r>\x01</r>") << QStringList {"<r", "error: ungültiges Zeichen"};
    QTest::newRow("unquoted attribute")
        << QByteArray("<r a=1/>") << QStringList {"error: ungültiges Attribut"};
    QTest::newRow("document type")
        << QByteArray("<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>")
        << QStringList {"error: Dokumenttyp-Deklarationen sind nicht erlaubt"};
    QTest::newRow("text outside") << QByteArray("x<r/>")
                                  << QStringList {"error: Text außerhalb des Wurzelelements"};
    QTest::newRow("empty") << QByteArray() << QStringList {"error: unerwartetes Dateiende"};
}

void TestXlsxValues::pullReader()
{
    // Whole and byte by byte, so that every token also has to be put together across refills.
    QFETCH(QByteArray, document);
    QFETCH(QStringList, expected);
    XmlPullReader whole(document);
    QCOMPARE(tokens(whole), expected);
    qsizetype position = 0;
    XmlPullReader trickle([&](char *buffer, qsizetype capacity) -> qsizetype {
        if (position == document.size() || capacity == 0)
            return 0;
        *buffer = document.at(position++);
        return 1;
    });
    QCOMPARE(tokens(trickle), expected);
}

void TestXlsxValues::zipEntryPieces_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<qsizetype>("firstPiece");
    // The last read hands out a single byte; the checksum is checked after it.
    QTest::newRow("stored, last piece one byte") << false << qsizetype(4999);
    QTest::newRow("deflated, last piece one byte") << true << qsizetype(4999);
    QTest::newRow("deflated, byte by byte") << true << qsizetype(1);
}

void TestXlsxValues::zipEntryPieces()
{
    QFETCH(bool, compressed);
    QFETCH(qsizetype, firstPiece);
    QByteArray content;
    for (int i = 0; content.size() < 5000; ++i)
        content += QByteArray::number(i * 7919 % 1000) + ';';
    content.truncate(5000);
    const ZipReader zip(XlsxFixture::zip({{QStringLiteral("part.xml"), content}}, compressed));
    ZipEntryReader entry(zip, QStringLiteral("part.xml"), 1 << 20);
    QCOMPARE(entry.status(), ZipReader::Status::Ok);
    QByteArray read;
    char buffer[8192];
    qsizetype capacity = firstPiece;
    QList<qsizetype> pieces;
    for (qsizetype got; (got = entry.read(buffer, capacity)) > 0;
         capacity = firstPiece == 1 ? 1 : qsizetype(sizeof buffer)) {
        read.append(buffer, got);
        pieces.append(got);
    }
    QVERIFY(!pieces.isEmpty());
    QCOMPARE(pieces.last(), qsizetype(1));
    QCOMPARE(entry.status(), ZipReader::Status::Ok);
    QCOMPARE(read, content);
    QCOMPARE(entry.read(buffer, 1), qsizetype(0));
}

QTEST_GUILESS_MAIN(TestXlsxValues)
#include "tst_xlsxvalues.moc"
