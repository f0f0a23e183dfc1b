#include "CsvSniffer.h"
#include "QxtCsvModel.h"
#include "TextEncodingDetector.h"

#include <QBuffer>
#include <QTest>
#include <QTextCodec>

using Table = QList<QStringList>;

namespace {

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding, bool withBom)
{
    QStringEncoder encoder(
        encoding, withBom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
    return encoder.encode(text);
}

} // namespace

class TestCsvSniffer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void detect_data();
    void detect();
    void detectWithoutStopAtNul();
    void separator_data();
    void separator();
    void encoding_data();
    void encoding();
};

void TestCsvSniffer::init()
{
    QxtCsvModel::setProgressHook([](qint64) { return CsvProgressCallback(); });
}

void TestCsvSniffer::cleanup()
{
    QxtCsvModel::setProgressHook({});
}

void TestCsvSniffer::detect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QByteArray() << int(TextEncodingDetector::Ascii);
    QTest::newRow("ASCII") << QByteArray("a;b\r\n") << int(TextEncodingDetector::Ascii);
    QTest::newRow("lead byte at the end")
        << QByteArray("abc\xc3") << int(TextEncodingDetector::Ascii);
    QTest::newRow("two-byte sequence")
        << QByteArray("abc\xc3\xa9") << int(TextEncodingDetector::Utf8);
    QTest::newRow("sequence cut after a continuation")
        << QByteArray("a\xe2\x82") << int(TextEncodingDetector::Utf8);
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf"
                                                  "abc")
                                    << int(TextEncodingDetector::Utf8Bom);
    QTest::newRow("UTF-16LE BOM") << QByteArray("\xff\xfe"
                                                "a\0",
                                                4)
                                  << int(TextEncodingDetector::Utf16LeBom);
    QTest::newRow("UTF-16BE BOM") << QByteArray("\xfe\xff\0a", 4)
                                  << int(TextEncodingDetector::Utf16BeBom);
    QTest::newRow("UTF-16LE line ends")
        << QByteArray("a\0\r\0\n\0", 6) << int(TextEncodingDetector::Utf16Le);
    QTest::newRow("UTF-16BE line ends")
        << QByteArray("\0a\0\r\0\n", 6) << int(TextEncodingDetector::Utf16Be);
    QTest::newRow("UTF-16LE by zero bytes")
        << QByteArray("a\0b\0c\0d\0", 8) << int(TextEncodingDetector::Utf16Le);
    QTest::newRow("UTF-16BE by zero bytes")
        << QByteArray("\0a\0b\0c\0d", 8) << int(TextEncodingDetector::Utf16Be);
    QTest::newRow("both line-end kinds, not UTF-16")
        << QByteArray("\r\0\0\n", 4) << int(TextEncodingDetector::NoText);
    QTest::newRow("NUL without a UTF-16 pattern")
        << QByteArray("ab\0cd", 5) << int(TextEncodingDetector::NoText);
    QTest::newRow("Latin-1") << QByteArray("caf\xe9s") << int(TextEncodingDetector::EightBit);
    QTest::newRow("Latin-1 ending in a lead byte")
        << QByteArray("caf\xe9") << int(TextEncodingDetector::Ascii);
    QTest::newRow("overlong lead byte")
        << QByteArray("\xc0\x80") << int(TextEncodingDetector::EightBit);
    QTest::newRow("stray continuation")
        << QByteArray("a\x80z") << int(TextEncodingDetector::EightBit);
}

void TestCsvSniffer::detect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    const TextEncodingDetector detector;
    QCOMPARE(int(detector.detect(bytes.constData(), size_t(bytes.size()))), expected);
}

void TestCsvSniffer::detectWithoutStopAtNul()
{
    TextEncodingDetector detector;
    detector.setStopAtNul(false);
    QCOMPARE(detector.detect("ab\0cd", 5), TextEncodingDetector::Ascii);
    QCOMPARE(detector.detect("\xe9zz\0zz", 6), TextEncodingDetector::EightBit);
}

void TestCsvSniffer::separator_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("quoteFlags");
    QTest::addColumn<QString>("expected");

    QTest::newRow("semicolons") << QByteArray("a;b\nc;d\n") << 2 << QStringLiteral(";");
    QTest::newRow("tie goes to semicolon")
        << QByteArray("a,b;c\nd,e;f\n") << 2 << QStringLiteral(";");
    QTest::newRow("commas win when wider") << QByteArray("a,b,c;d\n") << 2 << QStringLiteral(",");
    QTest::newRow("tabs") << QByteArray("a\tb\tc\n1\t2\t3\n") << 2 << QStringLiteral("\t");
    QTest::newRow("no separator") << QByteArray("abc\ndef\n") << 2 << QStringLiteral(";");
    QTest::newRow("empty") << QByteArray() << 2 << QStringLiteral(";");
    QTest::newRow("separators inside quotes do not count")
        << QByteArray("\"a;b;c\",d,e\n") << 2 << QStringLiteral(",");
    QTest::newRow("quotes off") << QByteArray("\"a;b;c\",d,e\n") << 0 << QStringLiteral(";");
    // Only the first 30 rows are sampled.
    QTest::newRow("sample of 30 rows")
        << QByteArray("a;b\n").repeated(30) + QByteArray("a,b,c,d\n") << 2 << QStringLiteral(";");
}

void TestCsvSniffer::separator()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, quoteFlags);
    QFETCH(QString, expected);
    const CsvSniffResult result = sniffCsvFormat(bytes, quoteFlags);
    QCOMPARE(result.delimiter, expected.at(0));
    QCOMPARE(result.headerRowOffset, 0);
}

void TestCsvSniffer::encoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<bool>("hasBom");

    const QString text = QStringLiteral("Name;Ort;\u20ac\r\nM\u00fcller;K\u00f6ln;5\r\n");
    QTest::newRow("ASCII reads as Latin-1")
        << QByteArray("a;b\n") << int(QStringConverter::Latin1) << false;
    QTest::newRow("Latin-1") << QByteArray("M\xfcller;K\xf6ln\n") << int(QStringConverter::Latin1)
                             << false;
    QTest::newRow("UTF-8") << text.toUtf8() << int(QStringConverter::Utf8) << false;
    QTest::newRow("UTF-8 BOM") << QByteArray("\xef\xbb\xbf") + text.toUtf8()
                               << int(QStringConverter::Utf8) << true;
    QTest::newRow("UTF-16LE") << utf16(text, QStringConverter::Utf16LE, false)
                              << int(QStringConverter::Utf16LE) << false;
    QTest::newRow("UTF-16LE BOM") << utf16(text, QStringConverter::Utf16LE, true)
                                  << int(QStringConverter::Utf16LE) << true;
    QTest::newRow("UTF-16BE") << utf16(text, QStringConverter::Utf16BE, false)
                              << int(QStringConverter::Utf16BE) << false;
    QTest::newRow("UTF-16BE BOM") << utf16(text, QStringConverter::Utf16BE, true)
                                  << int(QStringConverter::Utf16BE) << true;
    QTest::newRow("UTF-16LE without line ends")
        << utf16(QStringLiteral("a;b;c;d;e"), QStringConverter::Utf16LE, false)
        << int(QStringConverter::Utf16LE) << false;
}

// What the loader does with the answer: read the file with the named codec and separator.
void TestCsvSniffer::encoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(bool, hasBom);

    const CsvSniffResult result = sniffCsvFormat(bytes, 2);
    QCOMPARE(result.encoding, encoding);
    QCOMPARE(result.hasBom, hasBom);
    QCOMPARE(result.delimiter, QChar(u';'));

    QBuffer buffer;
    buffer.setData(bytes);
    QxtCsvModel model;
    model.setQuoteFlags(2);
    const QByteArray name =
        QStringConverter::nameForEncoding(QStringConverter::Encoding(result.encoding));
    QTextCodec *codec = QTextCodec::codecForName(name);
    QVERIFY(codec);
    model.readCsv(&buffer, false, result.delimiter, codec, -1, 0);
    QVERIFY(model.rowCount() >= 1);
    QCOMPARE(model.text(0, 0).at(0).isLetter(), true); // no byte order mark in the data
    if (QTest::currentDataTag() == QByteArray("UTF-16LE BOM") ||
        QTest::currentDataTag() == QByteArray("UTF-16BE"))
        QCOMPARE(model.text(1, 0), QStringLiteral("M\u00fcller"));
}

QTEST_MAIN(TestCsvSniffer)
#include "tst_csvsniffer.moc"
