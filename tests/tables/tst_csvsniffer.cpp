#include <tables/CsvSniffer.h>
#include <tables/QxtCsvModel.h>
#include <tables/TextEncodingDetector.h>

#include <QBuffer>
#include <QTest>
#include <QTextCodec>

class TestCsvSniffer : public QObject
{
    Q_OBJECT

private slots:
    void detect_data();
    void detect();
    void verdictDoesNotDependOnPlace_data();
    void verdictDoesNotDependOnPlace();
    void separator_data();
    void separator();
    void encoding_data();
    void encoding();
};

void TestCsvSniffer::detect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    const auto add = [](const char *name, const QByteArray &bytes, int expected) {
        QTest::newRow(name) << bytes << expected;
    };
    using D = TextEncodingDetector;

    add("empty", "", D::Ascii);
    add("ASCII", "a;b\r\n", D::Ascii);
    add("lead byte at the end", "abc\xc3", D::Ascii);
    add("two-byte sequence", "abc\xc3\xa9", D::Utf8);
    add("starts with a non-ASCII letter", "\xc3\x84pfel;5\n", D::Utf8);
    add("only a non-ASCII letter", "\xc3\x84", D::Utf8);
    add("sequence cut after a continuation", "a\xe2\x82", D::Utf8);
    add("UTF-8 BOM", "\xef\xbb\xbf", D::Utf8Bom);
    add("UTF-16LE BOM",
        QByteArray("\xff\xfe"
                   "a\0",
                   4),
        D::Utf16LeBom);
    add("UTF-16BE BOM", QByteArray("\xfe\xff\0a", 4), D::Utf16BeBom);
    add("UTF-16LE line ends", QByteArray("a\0\r\0\n\0", 6), D::Utf16Le);
    add("UTF-16BE line ends", QByteArray("\0a\0\r\0\n", 6), D::Utf16Be);
    add("UTF-16LE by zero bytes", QByteArray("a\0b\0c\0d\0", 8), D::Utf16Le);
    add("UTF-16BE by zero bytes", QByteArray("\0a\0b\0c\0d", 8), D::Utf16Be);
    add("both line-end kinds", QByteArray("\r\0\0\n", 4), D::NoText);
    add("NUL without a UTF-16 pattern", QByteArray("ab\0cd", 5), D::NoText);
    add("Latin-1", "caf\xe9s", D::EightBit);
    add("overlong lead byte", "\xc0\x80", D::EightBit);
    // Past the first eight bytes, where ASCII is skipped a word at a time.
    add("long ASCII", "id;name;town\r\n1;Anna;Bonn\r\n", D::Ascii);
    add("long, letter at a word's end", "abcdefghijklmno\xc3\xa9", D::Utf8);
    add("long, letter across words", "abcdefg\xc3\xa9ijklmnop", D::Utf8);
    add("long, Latin-1 late", "abcdefghijklmnopqrstuvw\xe9s", D::EightBit);
    add("long, bad continuation late", "abcdefghijklmnop\xc3z", D::EightBit);
    add("long, NUL late", QByteArray("abcdefghijklmnopqrs\0uvwxyz", 26), D::NoText);
    add("long, NUL at a word's start", QByteArray("abcdefgh\0bcdefgh", 17), D::NoText);
}

void TestCsvSniffer::detect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    const TextEncodingDetector detector;
    QCOMPARE(int(detector.detect(bytes.constData(), size_t(bytes.size()))), expected);
}

void TestCsvSniffer::verdictDoesNotDependOnPlace_data()
{
    QTest::addColumn<QByteArray>("sample");
    QTest::addColumn<bool>("stopAtNul");
    QTest::addColumn<int>("expected");
    const auto add = [](const char *name, const QByteArray &sample, bool stopAtNul, int expected) {
        QTest::newRow(name) << sample << stopAtNul << expected;
    };
    using D = TextEncodingDetector;

    add("two-byte letter", "\xc3\xa9", true, D::Utf8);
    add("euro sign", "\xe2\x82\xac", true, D::Utf8);
    add("four-byte sequence", "\xf0\x9d\x84\x9e", true, D::Utf8);
    add("Latin-1 letter", "\xe9s", true, D::EightBit);
    add("bad continuation", "\xc3z", true, D::EightBit);
    add("stray continuation", "\x80", true, D::EightBit);
    add("letter, then Latin-1", "\xc3\xa9\xe9", true, D::EightBit);
    add("NUL", QByteArray("\0", 1), true, D::NoText);
    add("NUL between ones", QByteArray("\x01\0\x01", 3), true, D::NoText);
    add("letter, then NUL", QByteArray("\xc3\xa9\0", 3), true, D::NoText);
    add("NUL, then letter, NUL allowed", QByteArray("\0\xc3\xa9", 3), false, D::Utf8);
    add("NUL, then Latin-1, NUL allowed", QByteArray("\0\x01\xe9", 3), false, D::EightBit);
}

// The walk looks at eight bytes at a time; what it finds must not depend on where in a word
// (or in the short rest after the last word) the telling bytes lie.
void TestCsvSniffer::verdictDoesNotDependOnPlace()
{
    QFETCH(QByteArray, sample);
    QFETCH(bool, stopAtNul);
    QFETCH(int, expected);
    TextEncodingDetector detector;
    detector.setStopAtNul(stopAtNul);
    for (int before = 0; before <= 17; ++before) {
        const QByteArray bytes = QByteArray(before, 'a') + sample + "xyz";
        QCOMPARE(int(detector.detect(bytes.constData(), size_t(bytes.size()))), expected);
    }
}

void TestCsvSniffer::separator_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("quoteFlags");
    QTest::addColumn<QString>("expected");
    const auto add = [](const char *name, const QByteArray &bytes, int flags, const char *sep) {
        QTest::newRow(name) << bytes << flags << QString::fromLatin1(sep);
    };

    add("semicolons", "a;b\nc;d\n", 2, ";");
    add("tie goes to semicolon", "a,b;c\nd,e;f\n", 2, ";");
    add("commas win when wider", "a,b,c;d\n", 2, ",");
    add("tabs", "a\tb\tc\n1\t2\t3\n", 2, "\t");
    add("no separator", "abc\ndef\n", 2, ";");
    add("empty", "", 2, ";");
    add("separators inside quotes do not count", "\"a;b;c\",d,e\n", 2, ",");
    add("quotes off", "\"a;b;c\",d,e\n", 0, ";");
    add("only 30 rows are sampled", QByteArray("a;b\n").repeated(30) + "a,b,c,d\n", 2, ";");
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
    const auto add = [](const char *name, const QByteArray &bytes, QStringConverter::Encoding e,
                        bool hasBom) {
        QTest::newRow(name) << bytes << int(e) << hasBom;
    };
    const QString text = QStringLiteral("M\u00fcller;K\u00f6ln;\u20ac\r\nName;Ort;5\r\n");
    const auto encode = [&text](QStringConverter::Encoding e, bool withBom) {
        return QByteArray(QStringEncoder(
            e, withBom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default)(text));
    };

    add("ASCII reads as Latin-1", "Mo;Di\n", QStringConverter::Latin1, false);
    add("Latin-1", "M\xfcller;K\xf6ln\n", QStringConverter::Latin1, false);
    add("UTF-8", encode(QStringConverter::Utf8, false), QStringConverter::Utf8, false);
    add("UTF-8 BOM", encode(QStringConverter::Utf8, true), QStringConverter::Utf8, true);
    add("UTF-16LE", encode(QStringConverter::Utf16LE, false), QStringConverter::Utf16LE, false);
    add("UTF-16LE BOM", encode(QStringConverter::Utf16LE, true), QStringConverter::Utf16LE, true);
    add("UTF-16BE", encode(QStringConverter::Utf16BE, false), QStringConverter::Utf16BE, false);
    add("UTF-16BE BOM", encode(QStringConverter::Utf16BE, true), QStringConverter::Utf16BE, true);
    add("UTF-16LE without line ends",
        QStringEncoder(QStringConverter::Utf16LE)(QStringLiteral("M\u00fcller;K\u00f6ln")),
        QStringConverter::Utf16LE, false);
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
    const auto name = QStringConverter::nameForEncoding(QStringConverter::Encoding(encoding));
    model.readCsv(&buffer, false, result.delimiter, QTextCodec::codecForName(name), -1, 0);
    QCOMPARE(model.text(0, 0).left(1), QStringLiteral("M")); // no byte order mark in the data
    if (result.encoding != QStringConverter::Latin1)
        QCOMPARE(model.text(0, 1), QStringLiteral("K\u00f6ln"));
}

QTEST_MAIN(TestCsvSniffer)
#include "tst_csvsniffer.moc"
