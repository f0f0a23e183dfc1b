#include "CellValueText.h"
#include "Document.h"
#include "RunKey.h"
#include "SameFile.h"
#include "ScanWorksheetCells.h"
#include "TextIndex.h"
#include "TimestampedFileName.h"
#include "WeakKey.h"
#include "Worksheet.h"
#include "XlsxFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The small decisions of a run that its end-to-end tests cannot pin down alone.
class TestRunHelpers : public QObject
{
    Q_OBJECT

private slots:
    void sameFile_data();
    void sameFile();
    void runKey_data();
    void runKey();
    void numberCellsReadAsPlainDecimals_data();
    void numberCellsReadAsPlainDecimals();
    void lastUsedRow_data();
    void lastUsedRow();
    void timestampedName();
    void textIndexFindsEveryTextItHolds();
};

void TestRunHelpers::sameFile_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");

    QTest::newRow("identical") << "a.csv"
                               << "a.csv" << true;
    QTest::newRow("dot slash") << "a.csv"
                               << "./a.csv" << true;
    QTest::newRow("blanks around") << "a.csv"
                                   << " a.csv  " << true;
    QTest::newRow("hard link") << "a.csv"
                               << "hard.csv" << true;
    QTest::newRow("symbolic link") << "a.csv"
                                   << "soft.csv" << true;
    QTest::newRow("link into another directory") << "a.csv"
                                                 << "sub/../soft.csv" << true;
    QTest::newRow("copy") << "a.csv"
                          << "copy.csv" << false;
    QTest::newRow("other case") << "a.csv"
                                << "A.csv" << false;
    QTest::newRow("both missing, same path") << "neu.csv"
                                             << "x/../neu.csv" << true;
    QTest::newRow("both missing, other paths") << "neu.csv"
                                               << "neu2.csv" << false;
    QTest::newRow("one missing") << "a.csv"
                                 << "neu.csv" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
}

void TestRunHelpers::sameFile()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    for (const char *name : {"a.csv", "copy.csv"}) {
        QFile file(QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Name\nAnna\n");
    }
    QVERIFY(::link("a.csv", "hard.csv") == 0);
    QVERIFY(QFile::link(QStringLiteral("a.csv"), QStringLiteral("soft.csv")));
    const bool result = isSameFile(first, second);
    const bool reversed = isSameFile(second, first);
    QDir::setCurrent(previous);
    QCOMPARE(result, same);
    QCOMPARE(reversed, same);
}

void TestRunHelpers::runKey_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("kept");

    QTest::newRow("16 random bytes")
        << QByteArray::fromHex("00112233445566778899aabbccddeeff") << true;
    QTest::newRow("32 bytes") << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"
                                                     "101112131415161718191a1b1c1d1e1f")
                              << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("15 bytes") << QByteArray::fromHex("00112233445566778899aabbccddee") << false;
    QTest::newRow("24 bytes") << QByteArray(24, 'k') << false;
    QTest::newRow("one byte repeated") << QByteArray(16, '\x7f') << false;
    QTest::newRow("low entropy") << QByteArray::fromHex("01010101020203030404050506060606")
                                 << false;
}

void TestRunHelpers::runKey()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, kept);

    const RunKey key = RunKey::choose(stored);
    QCOMPARE(key.isNew, !kept);
    if (kept) {
        QCOMPARE(key.key, stored);
        return;
    }
    QCOMPARE(key.key.size(), 16);
    QVERIFY(!isWeakKey(key.key));
    QVERIFY(RunKey::choose(stored).key != key.key);
    // A new key is usable as it is, so the next run keeps it.
    QVERIFY(!RunKey::choose(key.key).isNew);
}

void TestRunHelpers::numberCellsReadAsPlainDecimals_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");

    // The lenient number parser would read "1.5e+07" as 150000000.
    QTest::newRow("15000000") << QVariant(15000000.0) << "15000000";
    QTest::newRow("1e15") << QVariant(1e15) << "1000000000000000";
    QTest::newRow("0.000001") << QVariant(0.000001) << "0.000001";
    QTest::newRow("123456789012") << QVariant(123456789012.0) << "123456789012";
    QTest::newRow("negative fraction") << QVariant(-1234.5) << "-1234.5";
    QTest::newRow("shortest digits") << QVariant(0.1 + 0.2) << "0.30000000000000004";
    QTest::newRow("text") << QVariant(QStringLiteral("1e5")) << "1e5";
    QTest::newRow("bool") << QVariant(true) << "true";
    QTest::newRow("none") << QVariant() << "";
}

void TestRunHelpers::numberCellsReadAsPlainDecimals()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(cellValueText(value), text);
}

void TestRunHelpers::lastUsedRow_data()
{
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<int>("withFormulas");
    QTest::addColumn<int>("withoutFormulas");

    QTest::newRow("empty") << QByteArray() << 0 << 0;
    QTest::newRow("blank text below data")
        << QByteArray(R"(<row r="2"><c r="B2"><v>1</v></c></row>)"
                      R"(<row r="5"><c r="A5" t="inlineStr"><is><t>  </t></is></c></row>)")
        << 2 << 2;
    QTest::newRow("formula below data")
        << QByteArray(R"(<row r="2"><c r="B2"><v>1</v></c></row>)"
                      R"(<row r="7"><c r="C7"><f>B2*2</f></c></row>)")
        << 7 << 2;
    QTest::newRow("styled empty cell") << QByteArray(R"(<row r="3"><c r="A3" t="inlineStr">)"
                                                     R"(<is><t>x</t></is></c></row>)"
                                                     R"(<row r="9"><c r="A9" s="0"/></row>)")
                                       << 3 << 3;
    QTest::newRow("far corner") << QByteArray(R"(<row r="1048576"><c r="XFD1048576">)"
                                              R"(<v>0</v></c></row>)")
                                << 1048576 << 1048576;
}

void TestRunHelpers::lastUsedRow()
{
    QFETCH(QByteArray, sheetData);
    QFETCH(int, withFormulas);
    QFETCH(int, withoutFormulas);

    const auto document = XlsxFixture::load(
        XlsxFixture::workbook({{QStringLiteral("S"), XlsxFixture::sheetXml(sheetData)}}));
    QCOMPARE(scanWorksheetCells(document->currentWorksheet(), true), withFormulas);
    QCOMPARE(scanWorksheetCells(document->currentWorksheet(), false), withoutFormulas);
    QCOMPARE(scanWorksheetCells(nullptr, true), 0);
}

void TestRunHelpers::timestampedName()
{
    const QDateTime at(QDate(2024, 1, 31), QTime(17, 45, 1));
    QCOMPARE(timestampedFileName(QStringLiteral("vondrel_map"), QStringLiteral("csv"),
                                 QStringLiteral("/daten/aus"), at),
             QStringLiteral("/daten/aus/vondrel_map_20240131_174501.csv"));
    QCOMPARE(timestampedFileName(QStringLiteral("b"), QStringLiteral("txt"), QString(), at),
             QStringLiteral("b_20240131_174501.txt"));
}

void TestRunHelpers::textIndexFindsEveryTextItHolds()
{
    // Enough texts to grow the table many times; similar texts, as a column has them.
    QStringList texts;
    for (int i = 0; i < 200000; ++i)
        texts << QStringLiteral("Kunde %1").arg(i);
    texts << QString() << QStringLiteral(" ");
    TextIndex index;
    const auto textOf = [&texts](qint32 entry) {
        return QStringView(texts.at(entry));
    };
    for (qint32 entry = 0; entry < texts.size(); ++entry) {
        const size_t hash = TextIndex::hashOf(texts.at(entry));
        QCOMPARE(index.find(texts.at(entry), hash, textOf), -1);
        index.insert(hash, entry);
    }
    for (qint32 entry = 0; entry < texts.size(); ++entry)
        QCOMPARE(index.find(texts.at(entry), TextIndex::hashOf(texts.at(entry)), textOf), entry);
    for (const QString &absent : {QStringLiteral("Kunde 200000"), QStringLiteral("kunde 1")})
        QCOMPARE(index.find(absent, TextIndex::hashOf(absent), textOf), -1);
}

QTEST_GUILESS_MAIN(TestRunHelpers)
#include "tst_runhelpers.moc"
