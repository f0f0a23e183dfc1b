#include "Openpyxl.h"
#include "XlsxFixture.h"

#include <xlsx/Cell.h>
#include <xlsx/Document.h>
#include <xlsx/Worksheet.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace QXlsx;

// Interoperability with an independent implementation of the file format (openpyxl, run by
// the system's Python): each side reads what the other wrote.
class TestOpenpyxl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openpyxlReadsOurWorkbook();
    void weReadOpenpyxlWorkbook();
    void formattingSurvivesACopy();

private:
    // The workbook the script writes in this mode, read by us; null when either fails.
    std::unique_ptr<Document> written(const QString &mode, const QString &path);

    QTemporaryDir m_dir;
};

void TestOpenpyxl::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(Openpyxl::available(), "python3-openpyxl is missing; scripts/deps.sh installs it");
}

void TestOpenpyxl::openpyxlReadsOurWorkbook()
{
    // A shared formula read from a file is saved shared again.
    const auto doc = XlsxFixture::load(XlsxFixture::workbook(
        {{QStringLiteral("Daten"),
          XlsxFixture::sheetXml(
              R"(<row r="7"><c r="E7"><f t="shared" ref="E7:E9" si="0">D7+1</f></c></row>
              <row r="8"><c r="E8"><f t="shared" si="0"/></c></row>
              <row r="9"><c r="E9"><f t="shared" si="0"/></c></row>)")}}));
    Format money;
    money.setNumberFormat(QStringLiteral("#,##0.00"));
    money.setFontBold(true);
    money.setPatternBackgroundColor(Qt::yellow);
    Format text;
    text.setNumberFormat(QStringLiteral("@"));
    QVERIFY(doc->write(1, 1, QStringLiteral("Straße")));
    QVERIFY(doc->write(1, 2, 42));
    QVERIFY(doc->write(1, 3, 1.25));
    QVERIFY(doc->write(1, 4, true));
    QVERIFY(doc->write(2, 1, QDate(2024, 2, 29)));
    QVERIFY(doc->write(2, 2, QDateTime(QDate(2024, 3, 31), QTime(2, 30))));
    QVERIFY(doc->write(2, 3, QTime(8, 15)));
    QVERIFY(doc->write(2, 4, QStringLiteral("=B1*2")));
    QVERIFY(doc->write(3, 1, 1234.5, money));
    QVERIFY(doc->write(3, 2, QStringLiteral("  Leerzeichen  ")));
    QVERIFY(doc->write(3, 3, QStringLiteral("=kein Formel"), text));
    doc->currentWorksheet()->setMergedCells({CellRange(5, 1, 6, 2)});
    const QString path = m_dir.filePath(QStringLiteral("ours.xlsx"));
    QVERIFY(doc->saveAs(path));

    QByteArray json;
    QVERIFY(Openpyxl::run(QStringLiteral("read"), path, &json));
    const QJsonObject result = QJsonDocument::fromJson(json).object();
    QVERIFY(!result.isEmpty());
    QCOMPARE(result.value(QStringLiteral("sheets")).toArray(),
             QJsonArray({QStringLiteral("Daten")}));
    QCOMPARE(
        result.value(QStringLiteral("merged")).toObject().value(QStringLiteral("Daten")).toArray(),
        QJsonArray({QStringLiteral("A5:B6")}));
    const QJsonObject cells = result.value(QStringLiteral("cells")).toObject();
    const auto expect = [&](const char *cell, const QJsonValue &value, const char *type,
                            const char *numberFormat) {
        const QJsonArray actual =
            cells.value(QStringLiteral("Daten!") + QLatin1String(cell)).toArray();
        QVERIFY2(!actual.isEmpty(), cell);
        QCOMPARE(actual.at(0), value);
        QCOMPARE(actual.at(1).toString(), QLatin1String(type));
        QCOMPARE(actual.at(2).toString(), QLatin1String(numberFormat));
    };
    expect("A1", QStringLiteral("Straße"), "s", "General");
    expect("B1", 42, "n", "General");
    expect("C1", 1.25, "n", "General");
    expect("D1", true, "b", "General");
    expect("A2", QStringLiteral("2024-02-29T00:00:00"), "d", "yyyy-mm-dd");
    expect("B2", QStringLiteral("2024-03-31T02:30:00"), "d", "yyyy-mm-dd hh:mm:ss");
    expect("C2", QStringLiteral("08:15:00"), "d", "hh:mm:ss");
    expect("D2", QStringLiteral("=B1*2"), "f", "General");
    expect("A3", 1234.5, "n", "#,##0.00");
    expect("B3", QStringLiteral("  Leerzeichen  "), "s", "General");
    expect("C3", QStringLiteral("=kein Formel"), "s", "@");
    expect("E7", QStringLiteral("=D7+1"), "f", "General");
    expect("E9", QStringLiteral("=D9+1"), "f", "General");
    const QJsonArray styled = cells.value(QStringLiteral("Daten!A3")).toArray();
    QCOMPARE(styled.at(3), QJsonValue(true));
    QCOMPARE(styled.at(4), QJsonValue(QStringLiteral("FFFFFF00")));
}

void TestOpenpyxl::weReadOpenpyxlWorkbook()
{
    const auto doc =
        written(QStringLiteral("write"), m_dir.filePath(QStringLiteral("theirs.xlsx")));
    QVERIFY(doc);
    QCOMPARE(doc->sheetNames(), QStringList({QStringLiteral("Daten"), QStringLiteral("Zweites")}));
    QCOMPARE(doc->read(1, 1), QVariant(QStringLiteral("Straße")));
    QCOMPARE(doc->read(1, 2), QVariant(42.0));
    QCOMPARE(doc->read(1, 3), QVariant(1.25));
    QCOMPARE(doc->read(1, 4), QVariant(true));
    QCOMPARE(doc->read(2, 1), QVariant(QDate(2024, 2, 29)));
    const QDateTime gap = doc->read(2, 2).toDateTime();
    QCOMPARE(gap.date(), QDate(2024, 3, 31));
    QCOMPARE(gap.time(), QTime(2, 30));
    QCOMPARE(doc->read(2, 3), QVariant(QTime(8, 15)));
    QCOMPARE(doc->read(2, 4), QVariant(QStringLiteral("=B1*2")));
    QCOMPARE(doc->read(3, 1), QVariant(1234.5));
    const Format format = doc->cellAt(3, 1)->format();
    QCOMPARE(format.numberFormat(), QStringLiteral("#,##0.00"));
    QVERIFY(format.fontBold());
    QCOMPARE(format.fontColor(), QColor(Qt::red));
    QCOMPARE(format.patternBackgroundColor(), QColor(Qt::yellow));
    QCOMPARE(format.horizontalAlignment(), Format::AlignHCenter);
    QCOMPARE(doc->read(3, 2), QVariant(QStringLiteral("  Leerzeichen  ")));
    QCOMPARE(doc->read(3, 3), QVariant(QStringLiteral("Zeile 1\nZeile 2")));
    QCOMPARE(doc->currentWorksheet()->mergedCells(), QList<CellRange>({CellRange(5, 1, 6, 2)}));
    QVERIFY(doc->selectSheet(QStringLiteral("Zweites")));
    QCOMPARE(doc->read(1, 1), QVariant(QStringLiteral("x")));
}

std::unique_ptr<Document> TestOpenpyxl::written(const QString &mode, const QString &path)
{
    QFile file(path);
    if (!Openpyxl::run(mode, path) || !file.open(QIODevice::ReadOnly))
        return nullptr;
    auto doc = XlsxFixture::load(file.readAll());
    if (!doc->errorString().isEmpty()) {
        qWarning().noquote() << doc->errorString();
        return nullptr;
    }
    return doc;
}

void TestOpenpyxl::formattingSurvivesACopy()
{
    const QString original = m_dir.filePath(QStringLiteral("formatted.xlsx"));
    const QString copy = m_dir.filePath(QStringLiteral("copy.xlsx"));
    const auto doc = written(QStringLiteral("formatting"), original);
    QVERIFY(doc);
    QVERIFY(doc->saveAs(copy));

    const QJsonObject before = Openpyxl::json(QStringLiteral("layout"), original);
    const QJsonObject after = Openpyxl::json(QStringLiteral("layout"), copy);
    QVERIFY(!before.isEmpty());
    QCOMPARE(before.value(QStringLiteral("states")).toObject().value(QStringLiteral("Versteckt")),
             QJsonValue(QStringLiteral("hidden")));
    for (const char *part : {"states", "frozen", "widths", "heights", "outline"})
        QCOMPARE(after.value(QLatin1String(part)), before.value(QLatin1String(part)));
    const QJsonObject cellsBefore = before.value(QStringLiteral("cells")).toObject();
    const QJsonObject cellsAfter = after.value(QStringLiteral("cells")).toObject();
    for (const char *cell : {"Formate!A1", "Formate!B1", "Formate!C2"}) {
        const QJsonValue want = cellsBefore.value(QLatin1String(cell));
        const QJsonValue got = cellsAfter.value(QLatin1String(cell));
        QVERIFY2(Openpyxl::sameLayout(got, want),
                 qPrintable(QString::fromUtf8(QJsonDocument(got.toObject()).toJson()) +
                            QString::fromUtf8(QJsonDocument(want.toObject()).toJson())));
    }
}

QTEST_MAIN(TestOpenpyxl)
#include "tst_openpyxl.moc"
