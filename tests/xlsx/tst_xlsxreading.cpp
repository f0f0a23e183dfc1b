#include "XlsxFixture.h"

#include <xlsx/Cell.h>
#include <xlsx/CellReference.h>
#include <xlsx/DefinedName.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace QXlsx;
using XlsxFixture::load;
using XlsxFixture::Sheet;
using XlsxFixture::sheetXml;

namespace {

std::unique_ptr<Document> loadSheet(const QByteArray &sheetData, const QByteArray &strings = {},
                                    const QByteArray &styles = {}, bool date1904 = false)
{
    return load(XlsxFixture::workbook({{QStringLiteral("Daten"), sheetXml(sheetData)}}, strings,
                                      styles, date1904));
}

const QByteArray Styles = R"(
<numFmts count="2"><numFmt numFmtId="164" formatCode="[$-407]dd.mm.yyyy;@"/>
  <numFmt numFmtId="165" formatCode="#,##0.00\ &quot;€&quot;"/></numFmts>
<fonts count="3"><font><sz val="10"/><name val="Arial"/></font>
  <font><b/><i val="0"/><u/><sz val="12"/><color rgb="FFFF0000"/><name val="Verdana"/></font>
  <font><strike/><color indexed="12"/><name val="Arial"/></font></fonts>
<fills count="4"><fill><patternFill patternType="none"/></fill>
  <fill><patternFill patternType="gray125"/></fill>
  <fill><patternFill patternType="solid"><fgColor rgb="FFFFFF00"/><bgColor indexed="64"/></patternFill></fill>
  <fill><patternFill patternType="solid"><fgColor indexed="2"/></patternFill></fill></fills>
<cellXfs count="7"><xf numFmtId="0" fontId="0" fillId="0"/>
  <xf numFmtId="14" fontId="0" fillId="0"/>
  <xf numFmtId="164" fontId="1" fillId="2"/>
  <xf numFmtId="165" fontId="2" fillId="3"><alignment horizontal="center" vertical="top"/></xf>
  <xf numFmtId="49"/>
  <xf numFmtId="22"/>
  <xf numFmtId="21"/></cellXfs>
<colors><indexedColors><rgbColor rgb="FF000000"/><rgbColor rgb="FFFFFFFF"/>
  <rgbColor rgb="FF123456"/></indexedColors></colors>)";

} // namespace

Q_DECLARE_METATYPE(QXlsx::DefinedName)

// Reading workbooks as spreadsheet programs save them, and refusing what is broken.
class TestXlsxReading : public QObject
{
    Q_OBJECT

private slots:
    void cellTypes();
    void strings();
    void positionsWithoutReference();
    void sparseStorage();
    void dates();
    void styles();
    void formulas();
    void mergedCells();
    void sheets();
    void badInput_data();
    void badInput();
    void zipBombWithFalseSize();
    void hostileSizes_data();
    void hostileSizes();
    void onePartForManySheets();
    void formulaTextIsLiteral();
    void arrayResultsMarked_data();
    void arrayResultsMarked();
    void layout();
    void definedNames_data();
    void definedNames();
};

void TestXlsxReading::cellTypes()
{
    const auto doc = loadSheet(R"(<row r="1">
        <c r="A1"><v>1.5</v></c><c r="B1" t="n"><v>-2E3</v></c><c r="C1" t="b"><v>1</v></c>
        <c r="D1" t="e"><v>#N/A</v></c><c r="E1" t="str"><v>text result</v></c>
        <c r="F1" s="0"/><c r="G1" t="s"><v>0</v></c>
        <c r="H1" t="inlineStr"><is><t>inline</t></is></c><c r="I1" t="d"><v>2024-01-31T12:00:00</v></c>
        </row>)",
                               "<si><t>shared</t></si>");
    QCOMPARE(doc->errorString(), QString());
    QCOMPARE(doc->read(1, 1), QVariant(1.5));
    QCOMPARE(doc->read(1, 2), QVariant(-2000.0));
    QCOMPARE(doc->read(1, 3), QVariant(true));
    QCOMPARE(doc->read(1, 4), QVariant(QStringLiteral("#N/A")));
    QCOMPARE(doc->cellAt(1, 4)->cellType(), Cell::ErrorType);
    QCOMPARE(doc->read(1, 5), QVariant(QStringLiteral("text result")));
    QVERIFY(!doc->cellAt(1, 6));
    QCOMPARE(doc->read(1, 6), QVariant());
    QCOMPARE(doc->read(1, 7), QVariant(QStringLiteral("shared")));
    QCOMPARE(doc->read(1, 8), QVariant(QStringLiteral("inline")));
    QCOMPARE(doc->cellAt(1, 9)->value(), QVariant(45322.5));
    QVERIFY(!doc->cellAt(1, 10));
    QCOMPARE(doc->read(1, 10), QVariant());
}

void TestXlsxReading::strings()
{
    const QByteArray strings = R"(<si><t xml:space="preserve"> padded </t></si>
        <si><r><rPr><b/></rPr><t>Rich</t></r><r><t xml:space="preserve"> text</t></r></si>
        <si><t>東京</t><rPh sb="0" eb="2"><t>トウキョウ</t></rPh><phoneticPr fontId="1"/></si>
        <si><t>line_x000D_
break_x005F_x0041_</t></si><si><t>a &amp; &lt;b&gt;</t></si>)";
    const auto doc = loadSheet(R"(<row><c t="s"><v>0</v></c></row><row><c t="s"><v>1</v></c></row>
        <row><c t="s"><v>2</v></c></row><row><c t="s"><v>3</v></c></row><row><c t="s"><v>4</v></c></row>
        <row><c t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c></row>)",
                               strings);
    QCOMPARE(doc->read(1, 1).toString(), QStringLiteral(" padded "));
    QCOMPARE(doc->read(2, 1).toString(), QStringLiteral("Rich text"));
    QCOMPARE(doc->read(3, 1).toString(), QStringLiteral("東京"));
    QCOMPARE(doc->read(4, 1).toString(), QStringLiteral("line\r\nbreak_x0041_"));
    QCOMPARE(doc->read(5, 1).toString(), QStringLiteral("a & <b>"));
    QCOMPARE(doc->read(6, 1).toString(), QStringLiteral("inline"));
}

void TestXlsxReading::positionsWithoutReference()
{
    // Rows and cells may leave out "r"; they then follow the previous one.
    const auto doc = loadSheet(R"(<row><c><v>1</v></c><c><v>2</v></c></row>
        <row r="5"><c r="C5"><v>3</v></c><c><v>4</v></c></row><row><c><v>5</v></c></row>)");
    QCOMPARE(doc->read(1, 1), QVariant(1.0));
    QCOMPARE(doc->read(1, 2), QVariant(2.0));
    QCOMPARE(doc->read(5, 3), QVariant(3.0));
    QCOMPARE(doc->read(5, 4), QVariant(4.0));
    QCOMPARE(doc->read(6, 1), QVariant(5.0));
    QCOMPARE(doc->currentWorksheet()->dimension(), CellRange(1, 1, 6, 4));
}

void TestXlsxReading::sparseStorage()
{
    // A claimed dimension of the whole sheet costs nothing; the real cells decide.
    const QByteArray xml =
        sheetXml(R"(<row r="3"><c r="B3"><v>1</v></c></row>
        <row r="1048576"><c r="XFD1048576"><v>2</v></c></row>)")
            .replace("<sheetData>", R"(<dimension ref="A1:XFD1048576"/><sheetData>)");
    const auto doc = load(XlsxFixture::workbook({{QStringLiteral("S"), xml}}));
    Worksheet *sheet = doc->currentWorksheet();
    QCOMPARE(sheet->cells().count(), 2);
    QCOMPARE(sheet->dimension(), CellRange(3, 2, 1048576, 16384));
    QCOMPARE(sheet->read(1048576, 16384), QVariant(2.0));
}

void TestXlsxReading::dates()
{
    const QByteArray sheetData = R"(<row r="1"><c r="A1" s="1"><v>45000</v></c>
        <c r="B1" s="5"><v>45000.75</v></c><c r="C1" s="6"><v>0.5</v></c>
        <c r="D1" s="2"><v>45000</v></c><c r="E1"><v>45000</v></c><c r="F1" s="3"><v>45000</v></c>
        <c r="G1" s="1" t="s"><v>0</v></c></row>)";
    const auto doc = loadSheet(sheetData, "<si><t>not a number</t></si>", Styles);
    QVERIFY(doc->cellAt(1, 1)->isDateTime());
    QCOMPARE(doc->read(1, 1), QVariant(QDate(2023, 3, 15)));
    QCOMPARE(doc->read(1, 2), QVariant(QDateTime(QDate(2023, 3, 15), QTime(18, 0))));
    QCOMPARE(doc->read(1, 3), QVariant(QTime(12, 0)));
    QCOMPARE(doc->read(1, 4), QVariant(QDate(2023, 3, 15))); // a localised date code
    QVERIFY(!doc->cellAt(1, 5)->isDateTime());
    QCOMPARE(doc->read(1, 5), QVariant(45000.0));
    QVERIFY(!doc->cellAt(1, 6)->isDateTime()); // a currency code
    QVERIFY(!doc->cellAt(1, 7)->isDateTime()); // text in a date-formatted cell
    QCOMPARE(doc->cellAt(1, 1)->value(), QVariant(45000.0));

    const auto doc1904 = loadSheet(sheetData, "<si><t>x</t></si>", Styles, true);
    QVERIFY(doc1904->workbook()->isDate1904());
    QCOMPARE(doc1904->read(1, 1), QVariant(QDate(2027, 3, 16)));
}

void TestXlsxReading::styles()
{
    const auto doc =
        loadSheet(R"(<row r="1"><c r="A1" s="2"><v>1</v></c><c r="B1" s="3"><v>1</v></c>
        <c r="C1" s="4"><v>1</v></c><c r="D1"><v>1</v></c><c r="E1" s="99"><v>1</v></c>
        <c r="F1" s="3"/></row>)",
                  {}, Styles);
    const Format date = doc->cellAt(1, 1)->format();
    QCOMPARE(date.numberFormat(), QStringLiteral("[$-407]dd.mm.yyyy;@"));
    QVERIFY(date.hasFontData());
    QCOMPARE(date.fontName(), QStringLiteral("Verdana"));
    QCOMPARE(date.fontSize(), 12.0);
    QVERIFY(date.fontBold());
    QVERIFY(!date.fontItalic());
    QVERIFY(date.fontUnderline());
    QCOMPARE(date.font().family(), QStringLiteral("Verdana"));
    QCOMPARE(date.fontColor(), QColor(Qt::red));
    QCOMPARE(date.patternBackgroundColor(), QColor(Qt::yellow));
    QCOMPARE(date.horizontalAlignment(), Format::AlignHGeneral);
    QCOMPARE(date.verticalAlignment(), Format::AlignBottom);

    const Format money = doc->cellAt(1, 2)->format();
    QCOMPARE(money.numberFormat(), QStringLiteral("#,##0.00\\ \"€\""));
    QVERIFY(money.fontStrikeOut());
    QCOMPARE(money.fontColor(), QColor(0x00, 0x00, 0xFF)); // default palette
    QCOMPARE(money.patternBackgroundColor(), QColor(0x12, 0x34, 0x56)); // the file's palette
    QCOMPARE(money.horizontalAlignment(), Format::AlignHCenter);
    QCOMPARE(money.verticalAlignment(), Format::AlignTop);

    QCOMPARE(doc->cellAt(1, 3)->format().numberFormat(), QStringLiteral("@"));
    QVERIFY(!doc->cellAt(1, 3)->format().hasFontData());
    // The default style, and a style index the file does not have, mean no style of its own.
    QVERIFY(!doc->cellAt(1, 4)->format().isValid());
    QVERIFY(!doc->cellAt(1, 5)->format().isValid());
    // A blank cell keeps its style, which saving carries over.
    QVERIFY(doc->cellAt(1, 6));
    QCOMPARE(doc->cellAt(1, 6)->format(), money);
    QCOMPARE(doc->workbook()->defaultFont().fontName(), QStringLiteral("Arial"));
}

void TestXlsxReading::formulas()
{
    const auto doc = loadSheet(R"(<row r="1"><c r="A1"><v>2</v></c><c r="B1"><f>A1*2</f><v>4</v></c>
        <c r="C1" t="str"><f>"x"&amp;A1</f><v>x2</v></c></row>
        <row r="2"><c r="A2"><v>3</v></c><c r="B2"><f t="shared" ref="B2:B4" si="0">A2+$A$1</f><v>5</v></c></row>
        <row r="3"><c r="B3"><f t="shared" si="0"/><v>6</v></c></row>
        <row r="4"><c r="B4"><f t="shared" si="0"/><v>7</v></c></row>
        <row r="5"><c r="A5"><f t="array" ref="A5:A6">TRANSPOSE(B1:C1)</f><v>4</v></c></row>
        <row r="6"><c r="A6" t="str"><v>x2</v></c></row>)");
    QCOMPARE(doc->read(1, 2), QVariant(QStringLiteral("=A1*2")));
    QCOMPARE(doc->cellAt(1, 2)->value(), QVariant(4.0));
    QCOMPARE(doc->cellAt(1, 2)->formula().formulaText(), QStringLiteral("A1*2"));
    QCOMPARE(doc->read(1, 3), QVariant(QStringLiteral("=\"x\"&A1")));
    QCOMPARE(doc->read(2, 2), QVariant(QStringLiteral("=A2+$A$1")));
    QCOMPARE(doc->read(3, 2), QVariant(QStringLiteral("=A3+$A$1")));
    QCOMPARE(doc->read(4, 2), QVariant(QStringLiteral("=A4+$A$1")));
    QCOMPARE(doc->cellAt(4, 2)->value(), QVariant(7.0));
    const CellFormula array = doc->cellAt(5, 1)->formula();
    QCOMPARE(array.formulaType(), CellFormula::ArrayType);
    QCOMPARE(array.reference(), CellRange(5, 1, 6, 1));
    // Cells filled by an array formula hold recorded results, not data of their own.
    QVERIFY(doc->cellAt(6, 1)->isCachedResult());
    QVERIFY(!doc->cellAt(1, 1)->isCachedResult());
}

void TestXlsxReading::mergedCells()
{
    const auto doc = load(XlsxFixture::workbook(
        {{QStringLiteral("S"),
          sheetXml(R"(<row r="2"><c r="B2"><v>1</v></c></row>)",
                   R"(<mergeCells count="3"><mergeCell ref="B2:C3"/><mergeCell ref="E1:E4"/>
                      <mergeCell ref="bogus"/></mergeCells>)")}}));
    QCOMPARE(doc->currentWorksheet()->mergedCells(),
             QList<CellRange>({CellRange(2, 2, 3, 3), CellRange(1, 5, 4, 5)}));
}

void TestXlsxReading::sheets()
{
    const auto doc = load(XlsxFixture::workbook(
        {{QStringLiteral("Erstes"), sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")},
         {QStringLiteral("Diagramm"), "<chartsheet/>", true},
         {QStringLiteral("Zweites"), sheetXml(R"(<row r="1"><c r="A1"><v>2</v></c></row>)")}}));
    QCOMPARE(doc->sheetNames(), QStringList({QStringLiteral("Erstes"), QStringLiteral("Zweites")}));
    QCOMPARE(doc->read(1, 1), QVariant(1.0));
    QVERIFY(!doc->selectSheet(QStringLiteral("Diagramm")));
    QVERIFY(doc->selectSheet(QStringLiteral("Zweites")));
    QCOMPARE(doc->currentWorksheet()->sheetName(), QStringLiteral("Zweites"));
    QCOMPARE(doc->read(1, 1), QVariant(2.0));
}

void TestXlsxReading::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file"); // read from this file instead of the bytes when set
    const QByteArray good = XlsxFixture::workbook(
        {{QStringLiteral("S"), sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")}});
    QMap<QString, QByteArray> parts = XlsxFixture::unzip(good);

    const QString missingFile = QTemporaryDir().filePath(QStringLiteral("Kunden.xlsx"));
    QTest::newRow("unreadable file") << QByteArray() << "kann nicht gelesen werden" << missingFile;
    QTest::newRow("empty") << QByteArray() << "keine XLSX-Arbeitsmappe" << QString();
    QTest::newRow("text") << QByteArray("Name;Ort\nA;B\n") << "keine XLSX-Arbeitsmappe"
                          << QString();
    QTest::newRow("truncated") << good.left(good.size() / 2) << "unvollständig" << QString();
    QByteArray damaged = good;
    damaged[damaged.indexOf("PK\x01\x02") - 20] ^= 0x55; // inside the last entry's data
    QTest::newRow("damaged data") << damaged << "beschädigt" << QString();

    QMap<QString, QByteArray> noWorkbook = parts;
    noWorkbook.remove(QStringLiteral("xl/workbook.xml"));
    QTest::newRow("no workbook") << XlsxFixture::zip(noWorkbook) << "keine Arbeitsmappe"
                                 << QString();
    QMap<QString, QByteArray> otherDocument = parts;
    otherDocument[QStringLiteral("xl/workbook.xml")] = "<document/>";
    QTest::newRow("not a workbook")
        << XlsxFixture::zip(otherDocument) << "keine Arbeitsmappe" << QString();
    QMap<QString, QByteArray> missingSheet = parts;
    missingSheet.remove(QStringLiteral("xl/worksheets/sheet1.xml"));
    QTest::newRow("missing sheet") << XlsxFixture::zip(missingSheet) << "fehlt" << QString();

    QMap<QString, QByteArray> brokenSheet = parts;
    brokenSheet[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="A2"><v>2</v>)");
    QTest::newRow("broken xml") << XlsxFixture::zip(brokenSheet) << "ist in Zeile 1 fehlerhaft"
                                << QString();
    QMap<QString, QByteArray> badNumber = parts;
    badNumber[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>one</v></c></row>)");
    QTest::newRow("bad number") << XlsxFixture::zip(badNumber) << "ungültige Zahl" << QString();
    QMap<QString, QByteArray> missingString = parts;
    missingString[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml(R"(<row r="1"><c r="A1" t="s"><v>7</v></c></row>)");
    QTest::newRow("missing shared string")
        << XlsxFixture::zip(missingString) << "fehlenden gemeinsamen Text" << QString();
    QMap<QString, QByteArray> badPosition = parts;
    badPosition[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml(R"(<row r="1"><c r="A0"><v>1</v></c></row>)");
    QTest::newRow("bad position") << XlsxFixture::zip(badPosition) << "ungültige Zellposition"
                                  << QString();
    QMap<QString, QByteArray> badRelationships = parts;
    badRelationships[QStringLiteral("xl/_rels/workbook.xml.rels")] = "<Types/>";
    QTest::newRow("bad relationships")
        << XlsxFixture::zip(badRelationships) << "unerwartetes Wurzelelement" << QString();

    QByteArray huge = good;
    for (qsizetype at = huge.indexOf("PK\x01\x02"); at >= 0;
         at = huge.indexOf("PK\x01\x02", at + 4))
        qToLittleEndian<quint32>(0xFFFFFFF0u, huge.data() + at + 24);
    QTest::newRow("absurd size") << huge << "zu groß" << QString();

    QMap<QString, QByteArray> doctype = parts;
    doctype[QStringLiteral("xl/worksheets/sheet1.xml")] =
        "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaa\">]>" +
        sheetXml(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>&a;</t></is></c></row>)")
            .mid(sheetXml({}).indexOf("<worksheet"));
    QTest::newRow("document type") << XlsxFixture::zip(doctype) << "Dokumenttyp" << QString();
    QMap<QString, QByteArray> crossed = parts;
    crossed[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml(R"(<row r="1"><c r="A1"><v>1</c></v></row>)");
    QTest::newRow("crossed elements") << XlsxFixture::zip(crossed) << "Endelement" << QString();
    QMap<QString, QByteArray> badUtf8 = parts;
    badUtf8[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>\xC3\x28</v></c></row>");
    QTest::newRow("bad UTF-8") << XlsxFixture::zip(badUtf8) << "kodierte" << QString();
    QMap<QString, QByteArray> loneByte = parts;
    loneByte[QStringLiteral("xl/worksheets/sheet1.xml")] =
        sheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a\x80</t></is></c></row>");
    QTest::newRow("lone continuation byte")
        << XlsxFixture::zip(loneByte) << "kodierte" << QString();
    QMap<QString, QByteArray> noStyles = XlsxFixture::unzip(XlsxFixture::workbook(
        {{QStringLiteral("S"), sheetXml({})}}, {}, R"(<cellXfs count="1"><xf/></cellXfs>)"));
    QVERIFY(noStyles.remove(QStringLiteral("xl/styles.xml")));
    QTest::newRow("styles part missing")
        << XlsxFixture::zip(noStyles) << "„xl/styles.xml“ fehlt" << QString();

    QTest::newRow("only a chart sheet")
        << XlsxFixture::workbook({{QStringLiteral("Diagramm"), "<chartsheet/>", true}})
        << "keine Tabellenblätter" << QString();
}

void TestXlsxReading::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QString, file);
    QFile source(file);
    const auto doc = file.isEmpty() ? load(bytes) : std::make_unique<Document>(&source);
    QVERIFY(doc->sheetNames().isEmpty());
    QVERIFY(!doc->currentWorksheet());
    QVERIFY(!doc->errorString().isEmpty());
    QVERIFY2(doc->errorString().contains(message), qPrintable(doc->errorString()));
    QCOMPARE(doc->read(1, 1), QVariant());
    QVERIFY(!doc->write(1, 1, 1));
    QVERIFY(!doc->workbook()->isDate1904());
}

void TestXlsxReading::zipBombWithFalseSize()
{
    // A sheet that inflates to 64 MB while its headers claim a few bytes must be refused
    // without ever allocating the real size.
    QByteArray sheet = sheetXml(QByteArray(64 << 20, ' '));
    const QByteArray archive = XlsxFixture::workbook({{QStringLiteral("S"), sheet}});
    sheet.clear();
    QByteArray lying = archive;
    for (qsizetype at = lying.indexOf("PK\x01\x02"); at >= 0;
         at = lying.indexOf("PK\x01\x02", at + 4))
        if (qFromLittleEndian<quint32>(lying.constData() + at + 24) > (1 << 20))
            qToLittleEndian<quint32>(100u, lying.data() + at + 24);
    const auto doc = load(lying);
    QVERIFY(doc->sheetNames().isEmpty());
    QVERIFY2(doc->errorString().contains(QStringLiteral("beschädigt")),
             qPrintable(doc->errorString()));
}

void TestXlsxReading::hostileSizes_data()
{
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<QByteArray>("strings");
    QTest::addColumn<QString>("message"); // empty: the file reads
    const int limit = Worksheet::MaxTextLength;
    const QByteArray longest(limit, 'x');
    const QByteArray tooLong(limit + 1, 'x');
    const QByteArray shared = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)";
    QTest::newRow("longest shared text") << shared << "<si><t>" + longest + "</t></si>"
                                         << "";
    QTest::newRow("shared text too long") << shared << "<si><t>" + tooLong + "</t></si>"
                                          << "mehr als 32767 Zeichen";
    // Three bytes a character: the byte count alone must not refuse it.
    const QByteArray euros = QString(limit, QChar(0x20AC)).toUtf8();
    QTest::newRow("longest text of euro signs") << shared << "<si><t>" + euros + "</t></si>"
                                                << "";
    QTest::newRow("inline text too long") << R"(<row r="1"><c r="A1" t="inlineStr"><is><r><t>)" +
            longest + "</t></r><r><t>y</t></r></is></c></row>"
                                          << QByteArray() << "mehr als 32767 Zeichen";
    QTest::newRow("formula result too long")
        << R"(<row r="1"><c r="A1" t="str"><f>A2</f><v>)" + tooLong + "</v></c></row>"
        << QByteArray() << "Text";
    QTest::newRow("formula too long") << R"(<row r="1"><c r="A1"><f>)" + tooLong + "</f></c></row>"
                                      << QByteArray() << "Formel mit mehr als";
    // Tens of megabytes of blanks pack into a few kilobytes.
    QTest::newRow("packed too tightly")
        << QByteArray(32 << 20, ' ') << QByteArray() << "ungewöhnlich stark gepackt";
}

void TestXlsxReading::hostileSizes()
{
    QFETCH(QByteArray, sheetData);
    QFETCH(QByteArray, strings);
    QFETCH(QString, message);
    const auto doc = loadSheet(sheetData, strings);
    if (message.isEmpty()) {
        QCOMPARE(doc->errorString(), QString());
        QCOMPARE(doc->read(1, 1).toString().size(), Worksheet::MaxTextLength);
    } else {
        QVERIFY(doc->sheetNames().isEmpty());
        QVERIFY2(doc->errorString().contains(message), qPrintable(doc->errorString()));
    }
}

void TestXlsxReading::onePartForManySheets()
{
    // Every sheet names the same part of a megabyte: each read is harmless, all of them are not.
    constexpr int SheetCount = 200;
    QByteArray cells;
    for (int row = 1; cells.size() < (1 << 20); ++row)
        cells += "<row r=\"" + QByteArray::number(row) + "\"><c><v>1</v></c></row>";
    QList<Sheet> sheets;
    for (int i = 0; i < SheetCount; ++i)
        sheets.append({QStringLiteral("S%1").arg(i), sheetXml(i == 0 ? cells : QByteArray())});
    QMap<QString, QByteArray> parts = XlsxFixture::unzip(XlsxFixture::workbook(sheets));
    QByteArray &relationships = parts[QStringLiteral("xl/_rels/workbook.xml.rels")];
    for (int i = 2; i <= SheetCount; ++i) {
        relationships.replace("worksheets/sheet" + QByteArray::number(i) + ".xml\"",
                              "worksheets/sheet1.xml\"");
        parts.remove(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i));
    }
    const auto doc = load(XlsxFixture::zip(parts));
    QVERIFY(doc->sheetNames().isEmpty());
    QVERIFY2(doc->errorString().contains(QStringLiteral("ungewöhnlich stark gepackt")),
             qPrintable(doc->errorString()));
}

void TestXlsxReading::formulaTextIsLiteral()
{
    // Only cell text uses "_xHHHH_" escapes; formula text means what it says, both ways.
    const auto doc = loadSheet(
        R"(<row r="1"><c r="A1"><f>"_x0041_"&amp;"x"</f></c><c r="B1"><f t="shared" ref="B1:B2" si="0">"_x0042_"&amp;A1</f></c></row>
        <row r="2"><c r="B2"><f t="shared" si="0"/></c></row>)");
    QCOMPARE(doc->read(1, 1), QVariant(QStringLiteral("=\"_x0041_\"&\"x\"")));
    QCOMPARE(doc->read(2, 2), QVariant(QStringLiteral("=\"_x0042_\"&A2")));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(doc->saveAs(&buffer));
    const QByteArray sheet =
        XlsxFixture::unzip(buffer.data()).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains("<f>&quot;_x0041_&quot;&amp;&quot;x&quot;</f>") ||
            sheet.contains("<f>\"_x0041_\"&amp;\"x\"</f>"));
    QCOMPARE(load(buffer.data())->read(2, 2), doc->read(2, 2));
}

void TestXlsxReading::arrayResultsMarked_data()
{
    using Cells = QList<std::pair<int, int>>;
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<Cells>("results");
    QTest::addColumn<Cells>("values");

    // Cells beside and below a range keep their values; a range may start on a row without
    // cells and rows may come out of order after it.
    QTest::newRow("ranges of their own")
        << QByteArray(R"(
        <row r="1"><c r="A1"><f t="array" ref="A1:B3">X</f><v>1</v></c><c r="B1"><v>2</v></c><c r="C1"><v>3</v></c></row>
        <row r="3"><c r="A3"><v>4</v></c><c r="B3"><v>5</v></c><c r="C3"><v>6</v></c></row>
        <row r="7"><c r="B7"><v>9</v></c><c r="E7"><f t="array" ref="E7:E9">Z</f><v>1</v></c></row>
        <row r="6"><c r="C6"><v>10</v></c></row>
        <row r="9"><c r="E9"><v>11</v></c><c r="F9"><v>12</v></c></row>)")
        << Cells {{1, 2}, {3, 1}, {3, 2}, {9, 5}} << Cells {{1, 3}, {3, 3}, {6, 3}, {7, 2}, {9, 6}};
    // A range that has ended no longer counts against the next one in its columns.
    QTest::newRow("ranges stacked in one column")
        << QByteArray(R"(
        <row r="2"><c r="B2" t="inlineStr"><is><t>Anna</t></is></c><c r="C2"><f t="array" ref="C2:C4">UPPER(B2:B4)</f><v>1</v></c></row>
        <row r="3"><c r="C3" t="inlineStr"><is><t>BERT</t></is></c></row>
        <row r="4"><c r="C4" t="inlineStr"><is><t>CARLA</t></is></c></row>
        <row r="7"><c r="C7"><f t="array" ref="C7:C9">UPPER(B7:B9)</f><v>1</v></c></row>
        <row r="8"><c r="C8" t="inlineStr"><is><t>DORA</t></is></c></row>
        <row r="9"><c r="C9" t="inlineStr"><is><t>EMIL</t></is></c><c r="D9"><v>7</v></c></row>)")
        << Cells {{3, 3}, {4, 3}, {8, 3}, {9, 3}} << Cells {{2, 2}, {9, 4}};
    // No range says which formula a cell in both belongs to; the values are kept.
    QTest::newRow("overlapping ranges")
        << QByteArray(R"(
        <row r="1"><c r="A1"><f t="array" ref="A1:C1048576">X</f><v>1</v></c><c r="B1"><v>2</v></c></row>
        <row r="2"><c r="A2"><f t="array" ref="A2:C1048576">Y</f><v>1</v></c><c r="B2"><v>3</v></c></row>
        <row r="3"><c r="C3"><v>4</v></c></row>
        <row r="5"><c r="E5"><f t="array" ref="E5:E9">Z</f><v>1</v></c></row>
        <row r="7"><c r="D7"><f t="array" ref="D7:F7">W</f><v>1</v></c><c r="F7"><v>5</v></c></row>
        <row r="8"><c r="E8"><v>6</v></c></row>)")
        << Cells {} << Cells {{1, 2}, {2, 2}, {3, 3}, {7, 6}, {8, 5}};
    QTest::newRow("range not starting at its formula") << QByteArray(R"(
        <row r="1"><c r="A1"><v>1</v></c></row>
        <row r="2"><c r="B2"><f t="array" ref="A1:C3">X</f><v>1</v></c><c r="C2"><v>2</v></c></row>)")
                                                       << Cells {} << Cells {{1, 1}, {2, 3}};
    QTest::newRow("formula after the cells of its range") << QByteArray(R"(
        <row r="3"><c r="A3"><v>2</v></c></row>
        <row r="2"><c r="A2"><f t="array" ref="A2:A3">X</f><v>1</v></c></row>)")
                                                          << Cells {} << Cells {{3, 1}};
    QTest::newRow("cells with formulas of their own") << QByteArray(R"(
        <row r="1"><c r="A1"><f t="array" ref="A1:B1">X</f><v>1</v></c><c r="B1"><f>A1+1</f><v>2</v></c></row>)")
                                                      << Cells {} << Cells {};
}

void TestXlsxReading::arrayResultsMarked()
{
    using Cells = QList<std::pair<int, int>>;
    QFETCH(QByteArray, sheetData);
    QFETCH(Cells, results);
    QFETCH(Cells, values);
    const auto doc = loadSheet(sheetData);
    QCOMPARE(doc->errorString(), QString());
    // A copy leaves out recorded results and keeps every value.
    QBuffer buffer;
    QVERIFY(doc->saveAs(&buffer));
    const auto copy = load(buffer.data());
    for (const auto &[row, column] : results) {
        const QString cell = CellReference(row, column).toString();
        QVERIFY2(doc->cellAt(row, column)->isCachedResult(), qPrintable(cell));
        QVERIFY2(!copy->cellAt(row, column) || !copy->cellAt(row, column)->value().isValid(),
                 qPrintable(cell));
    }
    for (const auto &[row, column] : values) {
        const QString cell = CellReference(row, column).toString();
        QVERIFY2(!doc->cellAt(row, column)->isCachedResult(), qPrintable(cell));
        QCOMPARE(copy->read(row, column), doc->read(row, column));
    }
    QCOMPARE(copy->currentWorksheet()->dimension(), doc->currentWorksheet()->dimension());
}

void TestXlsxReading::layout()
{
    const QByteArray sheet = sheetXml(
        R"(<row r="1" ht="30" customHeight="1"><c r="A1"><v>1</v></c></row>
        <row r="2" ht="18"><c r="A2"><v>2</v></c></row>)");
    const QByteArray before =
        R"(<sheetViews><sheetView workbookViewId="0"><pane xSplit="2" ySplit="1" topLeftCell="C2" state="frozen"/></sheetView></sheetViews>
        <cols><col min="1" max="3" width="20.5" customWidth="1"/><col min="5" max="5" width="1e300"/></cols>)";
    const QByteArray split =
        R"(<sheetViews><sheetView workbookViewId="0"><pane xSplit="2000" ySplit="1e300" state="split"/></sheetView></sheetViews>)";
    QByteArray frozen = sheet;
    frozen.replace("<sheetData>", before + "<sheetData>");
    QByteArray unfrozen = sheet;
    unfrozen.replace("<sheetData>", split + "<sheetData>");
    const auto doc = load(XlsxFixture::workbook(
        {{QStringLiteral("Eins"), frozen}, {QStringLiteral("Zwei"), unfrozen}}));
    const Worksheet *first = doc->currentWorksheet();
    QCOMPARE(first->frozenRows(), 1);
    QCOMPARE(first->frozenColumns(), 2);
    QCOMPARE(first->columnWidth(3), 20.5);
    QCOMPARE(first->columnWidth(4), 0.0);
    QCOMPARE(first->columnWidth(5), 255.0); // the widest a column can be
    QCOMPARE(first->rowHeight(1), 30.0);
    QCOMPARE(first->rowHeight(2), 0.0); // a height the row's font gave it
    QVERIFY(doc->selectSheet(QStringLiteral("Zwei")));
    QCOMPARE(doc->currentWorksheet()->frozenRows(), 0);
    QCOMPARE(doc->currentWorksheet()->frozenColumns(), 0);
}

void TestXlsxReading::definedNames_data()
{
    using Names = QList<DefinedName>;
    QTest::addColumn<QByteArray>("names");
    QTest::addColumn<Names>("kept");

    const auto name = [](const char *text, const char *formula, int sheet = -1,
                         bool hidden = false) {
        return DefinedName {QString::fromUtf8(text), QString::fromUtf8(formula), sheet, hidden};
    };
    QTest::newRow("cell") << QByteArray(
                                 R"(<definedName name="Steuersatz">Geheim!$B$1</definedName>)")
                          << Names {name("Steuersatz", "Geheim!$B$1")};
    QTest::newRow("number") << QByteArray(R"(<definedName name="Faktor">1.5</definedName>)")
                            << Names {name("Faktor", "1.5")};
    QTest::newRow("formula over references")
        << QByteArray(
               R"(<definedName name="G" hidden="true">SUM(Kunden!$C$2:$C$5)*2</definedName>)")
        << Names {name("G", "SUM(Kunden!$C$2:$C$5)*2", -1, true)};
    // The chart sheet between the two worksheets is not kept, so "Geheim" moves up.
    QTest::newRow("sheet scope")
        << QByteArray(R"(<definedName name="R" localSheetId="2">0.05</definedName>)")
        << Names {name("R", "0.05", 1)};
    QTest::newRow("quoted sheet name")
        << QByteArray(R"(<definedName name="Q">'Kunden ''"24"'!$A$1</definedName>)")
        << Names {name("Q", "'Kunden ''\"24\"'!$A$1")};
    QTest::newRow("print area")
        << QByteArray(
               R"(<definedName name="_xlnm.Print_Area" localSheetId="0">Kunden!$A$1:$F$9</definedName>)")
        << Names {name("_xlnm.Print_Area", "Kunden!$A$1:$F$9", 0)};
    QTest::newRow("text") << QByteArray(R"(<definedName name="Gruss">"Hallo Anna"</definedName>)")
                          << Names {};
    QTest::newRow("text in a formula")
        << QByteArray(R"(<definedName name="J">IF(Kunden!$A$1&gt;0,"Anna","")</definedName>)")
        << Names {};
    QTest::newRow("another workbook")
        << QByteArray(R"(<definedName name="E">[1]Kunden!$A$1</definedName>)") << Names {};
    QTest::newRow("table column") << QByteArray(
                                         R"(<definedName name="T">Tabelle1[Umsatz]</definedName>)")
                                  << Names {};
    QTest::newRow("unclosed quote")
        << QByteArray(R"(<definedName name="U">'Kunden!$A$1</definedName>)") << Names {};
    QTest::newRow("autofilter range")
        << QByteArray(
               R"(<definedName name="_xlnm._FilterDatabase" localSheetId="0" hidden="1">Kunden!$A$1:$C$9</definedName>)")
        << Names {};
    QTest::newRow("chart sheet scope")
        << QByteArray(R"(<definedName name="C" localSheetId="1">1</definedName>)") << Names {};
    QTest::newRow("unreadable scope")
        << QByteArray(R"(<definedName name="S" localSheetId="x">1</definedName>)") << Names {};
    QTest::newRow("same name twice")
        << QByteArray(R"(<definedName name="a">1</definedName><definedName name="A">2</definedName>
                         <definedName name="A" localSheetId="0">3</definedName>)")
        << Names {name("a", "1"), name("A", "3", 0)};
}

void TestXlsxReading::definedNames()
{
    QFETCH(QByteArray, names);
    QFETCH(QList<DefinedName>, kept);
    QMap<QString, QByteArray> parts =
        XlsxFixture::unzip(XlsxFixture::workbook({{QStringLiteral("Kunden"), sheetXml({})},
                                                  {QStringLiteral("Diagramm"), {}, true},
                                                  {QStringLiteral("Geheim"), sheetXml({})}}));
    QByteArray &workbookXml = parts[QStringLiteral("xl/workbook.xml")];
    workbookXml.replace("</sheets>", "</sheets><definedNames>" + names + "</definedNames>");
    const auto doc = load(XlsxFixture::zip(parts));
    QCOMPARE(doc->errorString(), QString());
    QCOMPARE(doc->workbook()->definedNames(), kept);
    // A copy writes them as it read them.
    QBuffer buffer;
    QVERIFY(doc->saveAs(&buffer));
    QCOMPARE(load(buffer.data())->workbook()->definedNames(), kept);
}

QTEST_MAIN(TestXlsxReading)
#include "tst_xlsxreading.moc"
