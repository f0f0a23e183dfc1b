#include "FileSizeLimit.h"
#include "XlsxFixture.h"

#include <xlsx/Cell.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <QXmlStreamReader>

#include <cmath>
#include <functional>
#include <memory>

using namespace QXlsx;
using XlsxFixture::load;
using XlsxFixture::sheetXml;

namespace {

std::unique_ptr<Document> emptyDocument(bool date1904 = false)
{
    return load(
        XlsxFixture::workbook({{QStringLiteral("Tabelle1"), sheetXml({})}}, {}, {}, date1904));
}

QByteArray save(Document &doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!doc.saveAs(&buffer))
        return {};
    return buffer.data();
}

std::unique_ptr<Document> reload(Document &doc)
{
    return load(save(doc));
}

Format numberFormat(const QString &code)
{
    Format format;
    format.setNumberFormat(code);
    return format;
}

} // namespace

// Writing values into a workbook and saving it so that it reads back unchanged, opens in any
// spreadsheet program and keeps nothing of the values it replaced.
class TestXlsxWriting : public QObject
{
    Q_OBJECT

private slots:
    void writeByType_data();
    void writeByType();
    void unstorableValues_data();
    void unstorableValues();
    void positionsOutsideSheet();
    void formatKeptOrReplaced();
    void roundTrip();
    void roundTripDate1904();
    void alignmentRoundTrip_data();
    void alignmentRoundTrip();
    void stylesShared();
    void largeSheet();
    void overwrittenValuesLeaveNoTrace();
    void saveToFile();
    void failedCommitKeepsTheFile();
    void markupInTextStaysText();
    void dimensionOfRaggedRows();
    void layoutRoundTrip();
    void sheetStatesRoundTrip();
    void sharedFormulasStayShared();
};

void TestXlsxWriting::writeByType_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("cellFormat");
    QTest::addColumn<QVariant>("read");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("numberFormat");
    const int blank = Cell::BlankType;
    const int text = Cell::StringType;
    const int number = Cell::NumberType;
    QTest::newRow("invalid") << QVariant() << "" << QVariant() << blank << "";
    QTest::newRow("empty text") << QVariant(QString()) << "" << QVariant() << blank << "";
    QTest::newRow("text") << QVariant(QStringLiteral("Straße 1")) << ""
                          << QVariant(QStringLiteral("Straße 1")) << text << "";
    QTest::newRow("formula") << QVariant(QStringLiteral("=A1*2")) << ""
                             << QVariant(QStringLiteral("=A1*2")) << blank << "";
    QTest::newRow("formula as text") << QVariant(QStringLiteral("=A1*2")) << "@"
                                     << QVariant(QStringLiteral("=A1*2")) << text << "@";
    QTest::newRow("equals sign alone")
        << QVariant(QStringLiteral("=")) << "" << QVariant(QStringLiteral("=")) << text << "";
    QTest::newRow("bool") << QVariant(true) << "" << QVariant(true) << int(Cell::BooleanType) << "";
    QTest::newRow("int") << QVariant(42) << "" << QVariant(42.0) << number << "";
    QTest::newRow("int64") << QVariant(qint64(1) << 40) << "" << QVariant(double(qint64(1) << 40))
                           << number << "";
    QTest::newRow("double") << QVariant(-0.125) << "0.000" << QVariant(-0.125) << number << "0.000";
    QTest::newRow("bytes") << QVariant(QByteArray("abc")) << "" << QVariant(QStringLiteral("abc"))
                           << text << "";
    QTest::newRow("date") << QVariant(QDate(2024, 2, 29)) << "" << QVariant(QDate(2024, 2, 29))
                          << number << "yyyy-mm-dd";
    QTest::newRow("date keeps date format")
        << QVariant(QDate(2024, 2, 29)) << "dd.mm.yyyy" << QVariant(QDate(2024, 2, 29)) << number
        << "dd.mm.yyyy";
    QTest::newRow("date replaces number format")
        << QVariant(QDate(2024, 2, 29)) << "0.00" << QVariant(QDate(2024, 2, 29)) << number
        << "yyyy-mm-dd";
    const QDateTime dateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 250));
    QTest::newRow("date-time") << QVariant(dateTime) << "" << QVariant(dateTime) << number
                               << "yyyy-mm-dd hh:mm:ss";
    QTest::newRow("time") << QVariant(QTime(8, 15)) << "" << QVariant(QTime(8, 15)) << number
                          << "hh:mm:ss";
}

void TestXlsxWriting::writeByType()
{
    QFETCH(QVariant, value);
    QFETCH(QString, cellFormat);
    QFETCH(QVariant, read);
    QFETCH(int, type);
    QFETCH(QString, numberFormat);
    const auto doc = emptyDocument();
    const Format format = cellFormat.isEmpty() ? Format() : ::numberFormat(cellFormat);
    QVERIFY(doc->write(2, 3, value, format));
    const auto reloaded = reload(*doc);
    for (const Document *d : {doc.get(), reloaded.get()}) {
        QCOMPARE(d->read(2, 3), read);
        // A blank cell without a style is not worth saving.
        const Cell *cell = d->cellAt(2, 3);
        QCOMPARE(cell ? int(cell->cellType()) : int(Cell::BlankType), type);
        QCOMPARE(cell ? cell->format().numberFormat() : QString(), numberFormat);
    }
}

void TestXlsxWriting::unstorableValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("nan") << QVariant(std::nan(""));
    QTest::newRow("infinity") << QVariant(HUGE_VAL);
    QTest::newRow("invalid date") << QVariant(QDate());
    QTest::newRow("date before 1900") << QVariant(QDate(1899, 1, 1));
    QTest::newRow("text too long") << QVariant(QString(Worksheet::MaxTextLength + 1, u'x'));
    QTest::newRow("list") << QVariant(QVariantList {1, 2});
}

void TestXlsxWriting::unstorableValues()
{
    // A failed write must not leave the old value behind: the caller may be replacing it
    // because it is personal data.
    QFETCH(QVariant, value);
    const auto doc = emptyDocument();
    QVERIFY(doc->write(1, 1, QStringLiteral("Erika Mustermann")));
    QVERIFY(!doc->write(1, 1, value));
    QCOMPARE(doc->read(1, 1), QVariant());
    QCOMPARE(doc->cellAt(1, 1)->cellType(), Cell::BlankType);
}

void TestXlsxWriting::positionsOutsideSheet()
{
    const auto doc = emptyDocument();
    QVERIFY(!doc->write(0, 1, 1));
    QVERIFY(!doc->write(1, 0, 1));
    QVERIFY(!doc->write(1048577, 1, 1));
    QVERIFY(!doc->write(1, 16385, 1));
    QVERIFY(!doc->currentWorksheet()->dimension().isValid());
    QVERIFY(doc->write(1048576, 16384, 1));
    QCOMPARE(reload(*doc)->read(1048576, 16384), QVariant(1.0));
}

void TestXlsxWriting::formatKeptOrReplaced()
{
    const auto doc = emptyDocument();
    Format bold;
    bold.setFontBold(true);
    bold.setNumberFormat(QStringLiteral("0.0"));
    QVERIFY(doc->write(1, 1, 1.5, bold));
    QVERIFY(doc->write(1, 1, 2.5));
    QCOMPARE(doc->cellAt(1, 1)->format(), bold);
    QVERIFY(doc->write(1, 1, QStringLiteral("x"), numberFormat(QStringLiteral("@"))));
    QCOMPARE(doc->cellAt(1, 1)->format(), numberFormat(QStringLiteral("@")));
    QVERIFY(!doc->cellAt(1, 1)->format().hasFontData());
}

void TestXlsxWriting::roundTrip()
{
    const QByteArray styles = R"(<fonts count="2"><font><sz val="9"/><name val="Tahoma"/></font>
        <font><b/><i/><u/><strike/><sz val="14"/><color rgb="FF00FF00"/><name val="Courier New"/></font></fonts>
        <fills count="3"><fill><patternFill/></fill><fill><patternFill patternType="gray125"/></fill>
        <fill><patternFill patternType="solid"><fgColor rgb="FF336699"/></patternFill></fill></fills>
        <cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0"/>
        <xf numFmtId="4" fontId="1" fillId="2"><alignment horizontal="right" vertical="center"/></xf></cellXfs>)";
    const QByteArray sheet = sheetXml(
        R"(<row r="1"><c r="A1" s="1"><v>1234.5</v></c><c r="B1"><f>A1*2</f><v>2469</v></c></row>
        <row r="3"><c r="C3"><f t="array" ref="C3:C4">A1:A2</f><v>1234.5</v></c></row>
        <row r="4"><c r="C4"><v>0</v></c></row>)",
        R"(<mergeCells count="1"><mergeCell ref="D1:E2"/></mergeCells>)");
    const auto source = load(XlsxFixture::workbook(
        {{QStringLiteral("Eins"), sheet}, {QStringLiteral("Zwei, Drei"), sheetXml({})}}, {},
        styles));
    const QString awkward = QStringLiteral(" a\r\nb\tc\u0001 _x0041_ ");
    QVERIFY(source->write(2, 1, awkward));
    QVERIFY(source->write(2, 2, QStringLiteral("=SUM(A1:A2)")));

    const auto doc = reload(*source);
    QCOMPARE(doc->errorString(), QString());
    QCOMPARE(doc->sheetNames(),
             QStringList({QStringLiteral("Eins"), QStringLiteral("Zwei, Drei")}));
    QCOMPARE(doc->read(1, 1), QVariant(1234.5));
    const Format format = doc->cellAt(1, 1)->format();
    QCOMPARE(format, source->cellAt(1, 1)->format());
    QCOMPARE(format.numberFormat(), QStringLiteral("#,##0.00"));
    QCOMPARE(format.fontName(), QStringLiteral("Courier New"));
    QVERIFY(format.fontBold() && format.fontItalic() && format.fontUnderline() &&
            format.fontStrikeOut());
    QCOMPARE(format.fontColor(), QColor(Qt::green));
    QCOMPARE(format.patternBackgroundColor(), QColor(0x33, 0x66, 0x99));
    QCOMPARE(format.horizontalAlignment(), Format::AlignRight);
    QCOMPARE(format.verticalAlignment(), Format::AlignVCenter);
    QCOMPARE(doc->workbook()->defaultFont().fontName(), QStringLiteral("Tahoma"));

    QCOMPARE(doc->read(1, 2), QVariant(QStringLiteral("=A1*2")));
    QCOMPARE(doc->read(2, 1), QVariant(awkward));
    QCOMPARE(doc->read(2, 2), QVariant(QStringLiteral("=SUM(A1:A2)")));
    QCOMPARE(doc->cellAt(3, 3)->formula().formulaType(), CellFormula::ArrayType);
    QCOMPARE(doc->cellAt(3, 3)->formula().reference(), CellRange(3, 3, 4, 3));
    QCOMPARE(doc->currentWorksheet()->mergedCells(), QList<CellRange>({CellRange(1, 4, 2, 5)}));
    QVERIFY(doc->selectSheet(QStringLiteral("Zwei, Drei")));
    QVERIFY(!doc->currentWorksheet()->dimension().isValid());
}

void TestXlsxWriting::roundTripDate1904()
{
    const auto source = emptyDocument(true);
    const QDateTime dateTime(QDate(2024, 3, 31), QTime(2, 30)); // in the Berlin spring gap
    QVERIFY(source->write(1, 1, QDate(1904, 1, 2)));
    QVERIFY(source->write(1, 2, dateTime));
    QCOMPARE(source->cellAt(1, 1)->value(), QVariant(1.0));
    const auto doc = reload(*source);
    QVERIFY(doc->workbook()->isDate1904());
    QCOMPARE(doc->read(1, 1), QVariant(QDate(1904, 1, 2)));
    QCOMPARE(doc->read(1, 2).toDateTime().date(), dateTime.date());
    QCOMPARE(doc->read(1, 2).toDateTime().time(), dateTime.time());
}

void TestXlsxWriting::alignmentRoundTrip_data()
{
    QTest::addColumn<QByteArray>("attributes");
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("expected");

    QTest::newRow("horizontal") << QByteArray(R"(horizontal="centerContinuous")") << "horizontal"
                                << int(Format::AlignHMerge);
    QTest::newRow("vertical") << QByteArray(R"(vertical="distributed")") << "vertical"
                              << int(Format::AlignVDistributed);
    QTest::newRow("wrap") << QByteArray(R"(wrapText="1")") << "wrap" << 1;
    QTest::newRow("wrap spelt true") << QByteArray(R"(wrapText="true")") << "wrap" << 1;
    QTest::newRow("rotated up") << QByteArray(R"(textRotation="90")") << "rotation" << 90;
    QTest::newRow("rotated down") << QByteArray(R"(textRotation="135")") << "rotation" << 135;
    QTest::newRow("stacked") << QByteArray(R"(textRotation="255")") << "rotation" << 255;
    QTest::newRow("impossible rotation") << QByteArray(R"(textRotation="200")") << "rotation" << 0;
    QTest::newRow("indent") << QByteArray(R"(horizontal="left" indent="3")") << "indent" << 3;
    QTest::newRow("relative indent")
        << QByteArray(R"(relativeIndent="-2")") << "relativeIndent" << -2;
    QTest::newRow("shrink to fit") << QByteArray(R"(shrinkToFit="1")") << "shrink" << 1;
    QTest::newRow("justify last line")
        << QByteArray(R"(horizontal="distributed" justifyLastLine="1")") << "justifyLastLine" << 1;
    QTest::newRow("right to left") << QByteArray(R"(readingOrder="2")") << "readingOrder"
                                   << int(Format::ReadingOrderRightToLeft);
    QTest::newRow("defaults spelt out")
        << QByteArray(
               R"(horizontal="general" vertical="bottom" textRotation="0" wrapText="false" indent="0" shrinkToFit="false")")
        << "valid" << 0;
}

void TestXlsxWriting::alignmentRoundTrip()
{
    QFETCH(QByteArray, attributes);
    QFETCH(QString, property);
    QFETCH(int, expected);
    const QHash<QString, std::function<int(const Format &)>> properties = {
        {QStringLiteral("valid"),
         [](const Format &f) {
             return int(f.isValid());
         }},
        {QStringLiteral("horizontal"),
         [](const Format &f) {
             return int(f.horizontalAlignment());
         }},
        {QStringLiteral("vertical"),
         [](const Format &f) {
             return int(f.verticalAlignment());
         }},
        {QStringLiteral("wrap"),
         [](const Format &f) {
             return int(f.textWrap());
         }},
        {QStringLiteral("rotation"),
         [](const Format &f) {
             return f.rotation();
         }},
        {QStringLiteral("indent"),
         [](const Format &f) {
             return f.indent();
         }},
        {QStringLiteral("relativeIndent"),
         [](const Format &f) {
             return f.relativeIndent();
         }},
        {QStringLiteral("shrink"),
         [](const Format &f) {
             return int(f.shrinkToFit());
         }},
        {QStringLiteral("justifyLastLine"),
         [](const Format &f) {
             return int(f.justifyLastLine());
         }},
        {QStringLiteral("readingOrder"),
         [](const Format &f) {
             return int(f.readingOrder());
         }},
    };
    const auto doc = load(XlsxFixture::workbook(
        {{QStringLiteral("Daten"),
          sheetXml(
              R"(<row r="1"><c r="A1" s="1"><v>1</v></c><c r="B1" s="1"><v>2</v></c></row>)")}},
        {},
        R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="0"><alignment )" + attributes +
            "/></xf></cellXfs>"));
    const Format read = doc->cellAt(1, 1)->format();
    QCOMPARE(properties.value(property)(read), expected);
    // A value written over the cell in that cell's format, as a run does, keeps it too.
    QVERIFY(doc->write(1, 2, QStringLiteral("neu"), read));
    const auto copy = reload(*doc);
    QCOMPARE(copy->cellAt(1, 1)->format(), read);
    QCOMPARE(copy->cellAt(1, 2)->format(), read);
}

void TestXlsxWriting::stylesShared()
{
    const auto doc = emptyDocument();
    for (int row = 1; row <= 200; ++row) {
        Format format; // a fresh but equal format for every cell
        format.setNumberFormat(row % 2 ? QStringLiteral("@") : QStringLiteral("0.00%"));
        format.setFontBold(true);
        QVERIFY(doc->write(row, 1, row, format));
    }
    const QByteArray styles = XlsxFixture::unzip(save(*doc)).value(QStringLiteral("xl/styles.xml"));
    QVERIFY(styles.contains(R"(<cellXfs count="3">)"));
    QVERIFY(styles.contains(R"(<fonts count="2">)"));
    QVERIFY(!styles.contains("<numFmts")); // both codes are built in
    QVERIFY(styles.contains(R"(numFmtId="10")"));
}

void TestXlsxWriting::largeSheet()
{
    // Large enough that the sheet is compressed in many pieces.
    const auto source = emptyDocument();
    constexpr int Rows = 50000;
    for (int row = 1; row <= Rows; ++row) {
        QVERIFY(source->write(row, 1, QStringLiteral("Zeile %1").arg(row)));
        QVERIFY(source->write(row, 2, row * 0.5));
    }
    const auto doc = reload(*source);
    QCOMPARE(doc->currentWorksheet()->cells().count(), 2 * Rows);
    for (const int row : {1, 2, 4097, Rows})
        QCOMPARE(doc->read(row, 1).toString() + doc->read(row, 2).toString(),
                 QStringLiteral("Zeile %1%2").arg(row).arg(row * 0.5));
}

void TestXlsxWriting::overwrittenValuesLeaveNoTrace()
{
    QMap<QString, QByteArray> parts = XlsxFixture::unzip(XlsxFixture::workbook(
        {{QStringLiteral("Kunden"),
          sheetXml(
              R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="str"><f>A1&amp;"!"</f><v>Erika Mustermann!</v></c></row>
              <row r="2"><c r="A2" t="s"><v>1</v></c><c r="B2"><f>LEN(A2)</f><v>15</v></c></row>)")}},
        R"(<si><t>Erika Mustermann</t></si><si><r><t>Max </t></r><r><t>Musterfrau</t></r></si>
           <si><t>Unbenutzter Geheimtext</t></si>)"));
    parts[QStringLiteral("docProps/core.xml")] =
        "<cp:coreProperties><dc:creator>Hans Autor</dc:creator></cp:coreProperties>";
    const auto doc = load(XlsxFixture::zip(parts));
    QCOMPARE(doc->read(1, 1), QVariant(QStringLiteral("Erika Mustermann")));
    QVERIFY(doc->write(1, 1, QStringLiteral("<NAME>a1b2")));
    QVERIFY(doc->write(2, 1, QStringLiteral("<NAME>c3d4")));

    const QMap<QString, QByteArray> saved = XlsxFixture::unzip(save(*doc));
    QVERIFY(!saved.isEmpty());
    QVERIFY(!saved.contains(QStringLiteral("docProps/core.xml")));
    for (auto it = saved.cbegin(); it != saved.cend(); ++it)
        for (const char *secret : {"Erika", "Musterfrau", "Geheimtext", "Hans Autor", ">15<"})
            QVERIFY2(!it.value().contains(secret), qPrintable(it.key() + u' ' + secret));
    const QByteArray sheet = saved.value(QStringLiteral("xl/worksheets/sheet1.xml"));
    // The formulas stay, their recorded results do not.
    QVERIFY(QRegularExpression(QStringLiteral("<c r=\"B1\"><f>[^<]+</f></c>"))
                .match(QString::fromUtf8(sheet))
                .hasMatch());
    QVERIFY(saved.value(QStringLiteral("xl/workbook.xml")).contains(R"(fullCalcOnLoad="1")"));
    QVERIFY(saved.value(QStringLiteral("xl/sharedStrings.xml")).contains("&lt;NAME&gt;c3d4"));
}

void TestXlsxWriting::saveToFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ausgabe.xlsx"));
    const auto doc = emptyDocument();
    QVERIFY(doc->write(1, 1, QStringLiteral("neu")));
    QVERIFY(doc->saveAs(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(load(file.readAll())->read(1, 1), QVariant(QStringLiteral("neu")));
    file.close();

    // A save that fails leaves the existing file as it was.
    const auto broken = load("not a workbook");
    QVERIFY(!broken->saveAs(path));
    QVERIFY(!broken->errorString().isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(load(file.readAll())->read(1, 1), QVariant(QStringLiteral("neu")));

    QVERIFY(!doc->saveAs(dir.filePath(QStringLiteral("fehlt/ausgabe.xlsx"))));
    QVERIFY(doc->errorString().contains(QStringLiteral("fehlt/ausgabe.xlsx")));
}

void TestXlsxWriting::failedCommitKeepsTheFile()
{
#ifndef Q_OS_LINUX
    QSKIP("needs a file size limit");
#else
    // A file size limit lets writes fail as on a full disk: a small package fails only when
    // the save file is committed, a large one while it is written.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ausgabe.xlsx"));
    const auto old = emptyDocument();
    QVERIFY(old->write(1, 1, QStringLiteral("alt")));
    QVERIFY(old->saveAs(path));
    const qint64 oldSize = QFileInfo(path).size();

    const auto small = emptyDocument();
    QVERIFY(small->write(1, 1, QStringLiteral("neu")));
    const auto large = emptyDocument();
    for (int row = 1; row <= 20000; ++row)
        QVERIFY(large->write(row, 1, QStringLiteral("Zeile %1 mit Text").arg(row)));

    bool smallSaved = true;
    bool largeSaved = true;
    {
        const FileSizeLimit limit(oldSize / 2);
        QVERIFY(limit.isActive());
        smallSaved = small->saveAs(path);
        largeSaved = large->saveAs(path);
    }

    QVERIFY(!smallSaved);
    QVERIFY(!largeSaved);
    QVERIFY(!large->errorString().isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(load(file.readAll())->read(1, 1), QVariant(QStringLiteral("alt")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({QStringLiteral("ausgabe.xlsx")}));
#endif
}

void TestXlsxWriting::markupInTextStaysText()
{
    const auto doc = emptyDocument();
    const QString text = QStringLiteral("a]]>b<c>&d\"e'");
    QVERIFY(doc->write(1, 1, text));
    QVERIFY(doc->write(1, 2, QStringLiteral("=\"]]>\"&\"<\"")));
    const QByteArray package = save(*doc);
    const QMap<QString, QByteArray> parts = XlsxFixture::unzip(package);
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        QXmlStreamReader xml(it.value());
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(it.key() + u' ' + xml.errorString()));
    }
    const auto reloaded = load(package);
    QCOMPARE(reloaded->read(1, 1), QVariant(text));
    QCOMPARE(reloaded->read(1, 2), QVariant(QStringLiteral("=\"]]>\"&\"<\"")));
}

void TestXlsxWriting::dimensionOfRaggedRows()
{
    // A later row that starts further left widens the range to the left.
    const auto doc = emptyDocument();
    QVERIFY(doc->write(2, 3, 1));
    QVERIFY(doc->write(3, 5, 1));
    QVERIFY(doc->write(4, 2, 1));
    QCOMPARE(doc->currentWorksheet()->dimension(), CellRange(2, 2, 4, 5));
    const QByteArray sheet =
        XlsxFixture::unzip(save(*doc)).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains(R"(<dimension ref="B2:E4"/>)"));
}

void TestXlsxWriting::layoutRoundTrip()
{
    const auto source = emptyDocument();
    Worksheet *sheet = source->currentWorksheet();
    Format framed;
    framed.setBorderStyle(Format::LeftBorder, Format::BorderThin);
    framed.setBorderColor(Format::LeftBorder, Qt::blue);
    framed.setBorderStyle(Format::BottomBorder, Format::BorderDouble);
    framed.setBorderStyle(Format::DiagonalBorder, Format::BorderDashDot);
    framed.setDiagonalBorderType(Format::DiagonalBorderBoth);
    framed.setHorizontalAlignment(Format::AlignHFill);
    QVERIFY(source->write(2, 2, QStringLiteral("gerahmt"), framed));
    sheet->setColumnWidth(1, 3, 12.5);
    sheet->setColumnWidth(5, 5, 40);
    sheet->setRowHeight(2, 33.75);
    sheet->setRowHeight(10, 5); // a row without cells, after the last cell
    sheet->setRowHeight(1, 20); // and one before the first
    sheet->setFrozenPane(1, 0);

    const auto doc = reload(*source);
    const Worksheet *copy = doc->currentWorksheet();
    const Format format = copy->cellAt(2, 2)->format();
    QCOMPARE(format, source->cellAt(2, 2)->format());
    QCOMPARE(format.horizontalAlignment(), Format::AlignHFill);
    QCOMPARE(format.borderColor(Format::LeftBorder), QColor(Qt::blue));
    QCOMPARE(copy->columnWidths(), sheet->columnWidths());
    QCOMPARE(copy->rowHeights(), sheet->rowHeights());
    QCOMPARE(copy->frozenRows(), 1);
    QCOMPARE(copy->frozenColumns(), 0);
    QCOMPARE(copy->dimension(), CellRange(2, 2, 2, 2));
}

void TestXlsxWriting::sheetStatesRoundTrip()
{
    const auto source = load(XlsxFixture::workbook({{QStringLiteral("Geheim"), sheetXml({})},
                                                    {QStringLiteral("Sichtbar"), sheetXml({})},
                                                    {QStringLiteral("Makro"), sheetXml({})}}));
    source->workbook()->sheet(0)->setSheetState(Worksheet::SheetHidden);
    source->workbook()->sheet(2)->setSheetState(Worksheet::SheetVeryHidden);
    const QByteArray package = save(*source);
    // The sheet that opens is one the user can see.
    QVERIFY(XlsxFixture::unzip(package)
                .value(QStringLiteral("xl/workbook.xml"))
                .contains(R"(activeTab="1")"));
    const auto doc = load(package);
    QCOMPARE(doc->workbook()->sheet(0)->sheetState(), Worksheet::SheetHidden);
    QCOMPARE(doc->workbook()->sheet(1)->sheetState(), Worksheet::SheetVisible);
    QCOMPARE(doc->workbook()->sheet(2)->sheetState(), Worksheet::SheetVeryHidden);
}

void TestXlsxWriting::sharedFormulasStayShared()
{
    // A hundred thousand copies of an 8 KB shared formula in a file of a few hundred KB: the
    // copies must neither each hold their own text nor be saved that way.
    constexpr int Copies = 100000;
    QByteArray formula = "A1";
    while (formula.size() < 8000)
        formula += "+A1";
    QByteArray rows = R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1"><f t="shared" ref="B1:B)" +
        QByteArray::number(Copies + 1) + R"(" si="0">)" + formula + "</f></c></row>";
    for (int row = 2; row <= Copies + 1; ++row)
        rows += "<row r=\"" + QByteArray::number(row) + "\"><c r=\"B" + QByteArray::number(row) +
            R"("><f t="shared" si="0"/></c></row>)";
    const auto doc = load(XlsxFixture::workbook({{QStringLiteral("S"), sheetXml(rows)}}));
    QCOMPARE(doc->errorString(), QString());
    QVERIFY(doc->write(Copies, 2, 5)); // a copy replaced by a value
    const QByteArray package = save(*doc);
    QVERIFY2(package.size() < (1 << 20), qPrintable(QString::number(package.size())));
    const auto copy = load(package);
    QCOMPARE(copy->read(Copies + 1, 2), doc->read(Copies + 1, 2));
    QVERIFY(copy->read(Copies + 1, 2).toString().startsWith(u"=A100001+A100001"));
    QCOMPARE(copy->read(Copies, 2), QVariant(5.0));

    // Once the master holds something else, the first copy left takes its place; a formula
    // of the same text that is no copy stays on its own.
    QVERIFY(doc->write(1, 2, QStringLiteral("=1+1")));
    QVERIFY(doc->write(2, 3, QString(u'=' + doc->read(2, 2).toString().mid(1))));
    const QByteArray repackaged = save(*doc);
    QVERIFY2(repackaged.size() < (1 << 20), qPrintable(QString::number(repackaged.size())));
    const QByteArray sheet =
        XlsxFixture::unzip(repackaged).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains(R"(<c r="B2"><f t="shared" ref="B2:B100001" si="0">A2+)"));
    const auto again = load(repackaged);
    for (const int row : {1, 2, 3, 50000, Copies + 1})
        QCOMPARE(again->read(row, 2), doc->read(row, 2));
    QCOMPARE(again->read(2, 3), doc->read(2, 3));
}

QTEST_MAIN(TestXlsxWriting)
#include "tst_xlsxwriting.moc"
