#include "FileSizeLimit.h"

#include <tables/CsvModelRows.h>
#include <tables/CsvWriter.h>
#include <tables/QxtCsvModel.h>
#include <tables/TextCodecBridge.h>
#include <tables/WorkPulse.h>

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

using Table = QList<QStringList>;

namespace {

constexpr int dq = QxtCsvModel::QuoteDouble;
constexpr int dqDoubled = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
constexpr int relaxed = QxtCsvModel::RelaxedInput;

QTextCodec *codecNamed(const QByteArray &name)
{
    return name.isEmpty() ? nullptr : QTextCodec::codecForName(name);
}

Table rowsOf(const QxtCsvModel &model)
{
    Table rows;
    model.rowSlice(rows, 0, model.rowCount());
    return rows;
}

// The whole-row and the single-field readers give what field by field gives, overlays included.
bool rowReadersAgree(const QxtCsvModel &model)
{
    const vondrel::CsvTable &table = vondrel::CsvModelRows::of(model);
    std::vector<QStringView> fields;
    for (int row = 0; row < table.rowCount(); ++row) {
        table.rowFields(row, fields);
        const QStringList expected = table.fields(row);
        if (int(fields.size()) != expected.size() || int(fields.size()) != table.fieldCount(row))
            return false;
        for (int column = 0; column < expected.size() + 2; ++column) {
            const QStringView field =
                column < expected.size() ? QStringView(expected.at(column)) : QStringView();
            if (table.fieldOrNull(row, column) != field ||
                (column < expected.size() && fields[size_t(column)] != field))
                return false;
        }
    }
    return true;
}

void read(QxtCsvModel &model, const QByteArray &bytes, int flags, QChar separator = u';',
          const QByteArray &codec = {}, int recordPositions = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    model.setQuoteFlags(flags);
    model.readCsv(&buffer, false, separator, codecNamed(codec), -1, recordPositions);
}

Table parse(const QByteArray &bytes, int flags, QChar separator = u';',
            const QByteArray &codec = {}, int recordPositions = 0)
{
    QxtCsvModel model;
    read(model, bytes, flags, separator, codec, recordPositions);
    return rowsOf(model);
}

QByteArray write(QxtCsvModel &model, int flags, bool withHeader = false, int startRow = 0,
                 const QByteArray &codec = {})
{
    QBuffer buffer;
    model.setQuoteFlags(flags);
    const bool ok = model.writeCsv(&buffer, withHeader, u';', codecNamed(codec), startRow);
    return ok ? buffer.data() : QByteArray("<failed>");
}

void fill(QxtCsvModel &model, const Table &rows)
{
    model.insertRows(0, int(rows.size()));
    model.insertColumns(0, int(rows.first().size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows.at(row).size(); ++column)
            model.setText(row, column, rows.at(row).at(column));
}

// Overlay texts from a list.
class ListTexts : public vondrel::CsvColumnTexts
{
public:
    explicit ListTexts(std::vector<QString> texts)
        : m_texts(std::move(texts))
    { }
    QStringView text(qint32 entry) const override { return m_texts[size_t(entry)]; }

private:
    std::vector<QString> m_texts;
};

// Opens, but fails every write, as a full disk does.
class FailingDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestQxtCsvModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void quotingAndLineEnds_data();
    void quotingAndLineEnds();
    void recordPositions();
    void headerAndRowLimit();
    void cancelKeepsRowsAndIsReported();
    void cancelWorksInsideLongQuotedField();
    void badInputIsHandled();

    void writeFormats();
    void writeRoundTrip();
    void latin1RoundTripIsByteIdentical();
    void writeFailuresAreReported();
    void writesIntoSaveFile();
    void fullDiskLeavesTargetUntouched();
    void unencodableText_data();
    void unencodableText();
    void unpairedSurrogateIsWrittenAsReplacement_data();
    void unpairedSurrogateIsWrittenAsReplacement();
    void encodingBridge();
    void modelEditing();
    void headerOnlyForExistingColumns();
    void editsMatchPlainRows_data();
    void editsMatchPlainRows();
    void rowSliceFollowsListRules_data();
    void rowSliceFollowsListRules();
    void nestedPulsesLeaveNoBeatBehind();
};

void TestQxtCsvModel::init()
{
    QxtCsvModel::setProgressHook([](qint64) { return vondrel::CsvProgressCallback(); });
}

void TestQxtCsvModel::cleanup()
{
    QxtCsvModel::setProgressHook({});
}

void TestQxtCsvModel::quotingAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<Table>("expected");
    const auto add = [](const char *name, const QByteArray &input, int flags, const Table &expected,
                        const QByteArray &codec = {},
                        const QString &separator = QStringLiteral(";")) {
        QTest::newRow(name) << input << flags << separator << codec << expected;
    };

    add("unquoted fields are trimmed", "x ; y ;z", dq, {{"x", "y", "z"}});
    add("quoted field keeps blanks", "\" a \";b", dq, {{" a ", "b"}});
    add("quote after blank is text", " \"ab\"", dq, {{"\"ab\""}});
    add("text after closing quote", "\"ab\"cd;\"ab\" ;e", dq, {{"abcd", "ab ", "e"}});
    add("doubled quote", "\"a\"\"b\";c", dqDoubled, {{"a\"b", "c"}});
    add("doubled quote without escape bit", "\"a\"\"b\"", dq, {{"a\"b\""}});
    add("backslash escapes only inside quotes", "\"a\\\"b\\\\\";c\\\"d",
        dq | QxtCsvModel::EscapeBackslash, {{"a\"b\\", "c\\\"d"}});
    add("single quotes", "'a;b';\"c;d\"", QxtCsvModel::QuoteSingle, {{"a;b", "\"c", "d\""}});
    add("unterminated quote takes the rest", "x\n\"ab;c\nd", dq, {{"x"}, {"ab;c\nd"}});
    add("CR LF inside quotes", "\"a\r\nb\";c\r\nd", dq, {{"a\r\nb", "c"}, {"d"}});
    add("CR LF, LF and lone CR", "a\r\nb\nc\rd", dq, {{"a"}, {"b"}, {"c"}, {"d"}});
    add("empty line is an empty row", "a\n\nb\n", dq, {{"a"}, {""}, {"b"}});
    add("empty line after CR LF", "a\r\n\nb\r\n", dq, {{"a"}, {""}, {"b"}});
    add("empty last field ends its record", "a;\nb;c\n", dq, {{"a", ""}, {"b", "c"}});
    add("CR CR LF", "a\r\r\nb", dq, {{"a"}, {""}, {"b"}});
    add("last line without newline", "a;b\nc;d", dq, {{"a", "b"}, {"c", "d"}});
    add("trailing newline adds no row", "a;b\r\n", dq, {{"a", "b"}});
    add("quoted field and separator at the end", "\"a\";", dqDoubled, {{"a", ""}});
    add("empty quoted field as last line", "a\n\"\"", dqDoubled, {{"a"}, {""}});
    add("tab ends the record", "a\tb;c", dq, {{"a"}, {"b", "c"}});
    add("DEL ends a short run",
        "a\x7f"
        "b",
        dq, {{"a"}, {"b"}});
    add("DEL ends a long run",
        "abcdefghijk\x7f"
        "bcdefghijk",
        dq, {{"abcdefghijk"}, {"bcdefghijk"}});
    add("tab dropped when relaxed", "a\tb;c", dq | relaxed, {{"ab", "c"}});
    add("tab as separator", "a\tb;c", dq | relaxed, {{"a", "b;c"}}, {}, QStringLiteral("\t"));
    add("NUL dropped when relaxed", QByteArray("a\0b\0;c", 6), dq | relaxed, {{"ab", "c"}});
    add("line separator ends the record", "a\xe2\x80\xa8z", dq | relaxed, {{"a"}, {"z"}});
    const Table cp1252 = {{QStringLiteral("\u0080"), QStringLiteral("\u0084x\u0093\u0085")},
                          {QStringLiteral("\u0096")}};
    add("Windows-1252 bytes are text", "\x80;\x84x\x93\x85\n\x96", dq, cp1252, "ISO-8859-1");
    add("Windows-1252 bytes are text when relaxed", "\x80;\x84x\x93\x85\n\x96", dq | relaxed,
        cp1252, "ISO-8859-1");
    add("byte order mark is not data", "\xef\xbb\xbfz;b", dq, {{"z", "b"}}, "ISO-8859-1");
    add("bad UTF-8 is replaced, not dropped", "a\xff;\xc3", dq,
        {{QStringLiteral("a\ufffd"), QStringLiteral("\ufffd")}});
    add("broken sequence keeps the next character", "\xc3z;b", dq,
        {{QStringLiteral("\ufffdz"), "b"}});
    add("broken sequence at a block boundary", QByteArray(65535, 'x') + "\xc3z", dq,
        {{QString(65535, u'x') + QStringLiteral("\ufffdz")}});
    const QByteArray utf16 = "UTF-16LE";
    add("UTF-16 cut mid-character", QByteArray("a\0;\0b", 5), dq, {{"a", QStringLiteral("\ufffd")}},
        utf16);
    add("UTF-16 cut inside a surrogate pair", QByteArray("a\0;\0\x3d\xd8", 6), dq,
        {{"a", QStringLiteral("\ufffd")}}, utf16);
    add("unpaired surrogate in UTF-16",
        QByteArray("\x3d\xd8;\0\0\xde"
                   "b\0",
                   8),
        dq, {{QStringLiteral("\ufffd"), QStringLiteral("\ufffdb")}}, utf16);
    // The pair straddles the first block of 64 KiB.
    add("surrogate pair at a block boundary",
        QByteArray(65534 / 2, 'x').replace("x", QByteArray("x\0", 2)) +
            QByteArray("\x3d\xd8\x00\xde", 4),
        dq, {{QString(32767, u'x') + QStringLiteral("\U0001F600")}}, utf16);
    // Each 4-byte unit that is no character (a surrogate code point, a value past U+10FFFF)
    // is one replacement character, however the units pair up.
    add("invalid UTF-32 units",
        QByteArray("\x0a\xd9\0\0"
                   "\x6f\x5d\x17\0"
                   ";\0\0\0"
                   "\0\xdc\0\0"
                   "\0\0\0\x80"
                   "\x00\xf6\x01\0",
                   24),
        dq, {{QStringLiteral("\ufffd\ufffd"), QStringLiteral("\ufffd\ufffd\U0001F600")}}, "UTF-32");
    add("big-endian UTF-32 with its mark", QByteArray("\0\0\xfe\xff\0\0\xd8\x3d\0\0\0a", 12), dq,
        {{QStringLiteral("\ufffda")}}, "UTF-32");
    add("empty input", "", dq, {});
    add("only a byte order mark", "\xef\xbb\xbf", dq, {});
}

void TestQxtCsvModel::quotingAndLineEnds()
{
    QFETCH(QByteArray, input);
    QFETCH(int, flags);
    QFETCH(QString, separator);
    QFETCH(QByteArray, codec);
    QFETCH(Table, expected);

    QxtCsvModel model;
    read(model, input, flags, separator.at(0), codec);
    QCOMPARE(rowsOf(model), expected);
    qsizetype widest = 0;
    for (const QStringList &row : expected)
        widest = qMax(widest, row.size());
    QCOMPARE(model.columnCount(), widest);
    // Recording every position feeds the parser byte by byte: every quote, escape and line
    // end then straddles a piece boundary.
    QCOMPARE(parse(input, flags, separator.at(0), codec, -1), expected);
}

void TestQxtCsvModel::recordPositions()
{
    // BOM (3) | a;é CR (5) LF | €;b LF (6) | "x CR LF y" CR (7) LF | z (2)
    const QByteArray utf8("\xef\xbb\xbf"
                          "a;\xc3\xa9\r\n\xe2\x82\xac;b\n\"x\r\ny\"\r\nz");
    QxtCsvModel model;
    read(model, utf8, dq, u';', {}, -1);
    QCOMPARE(model.rowPositions(), (QList<qint64> {8, 15, 22, 24}));
    read(model, utf8, dq, u';', {}, 2);
    QCOMPARE(model.rowPositions(), (QList<qint64> {8, 15}));
    QCOMPARE(model.rowCount(), 4);

    const QByteArray utf16 =
        QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char *>(u"\u00e9;b\r\nc"), 12);
    read(model, utf16, dq, u';', "UTF-16LE", -1);
    QCOMPARE(model.rowPositions(), (QList<qint64> {10, 14}));
}

void TestQxtCsvModel::headerAndRowLimit()
{
    QByteArray input = "id;name;extra\n";
    for (int i = 0; i < 50; ++i)
        input += QByteArray::number(i) + ";n" + QByteArray::number(i) + "\n";
    QBuffer buffer;
    buffer.setData(input);
    QxtCsvModel model;
    model.readCsv(&buffer, true, u';', nullptr, 30, 3);

    QCOMPARE(model.rowCount(), 30);
    QCOMPARE(model.text(29, 1), QStringLiteral("n29"));
    QCOMPARE(model.columnCount(), 3); // the header is the widest record
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("name"));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toInt(), 4);
    QCOMPARE(model.rowPositions(), (QList<qint64> {14, 19, 24}));
    QVERIFY(!buffer.isOpen());

    // A later read without header keeps the header and its width.
    read(model, "a\n", dq);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 3);
}

void TestQxtCsvModel::cancelKeepsRowsAndIsReported()
{
    QByteArray input;
    for (int i = 0; i < 200000; ++i)
        input += "row;" + QByteArray::number(i) + "\n";
    int calls = 0;
    QxtCsvModel::setProgressHook([&calls](qint64) {
        return [&calls](qint64) {
            return ++calls < 3;
        };
    });
    QxtCsvModel model;
    read(model, input, dq);
    QVERIFY(model.lastReadCancelled());
    QVERIFY(model.rowCount() > 0 && model.rowCount() < 200000);
    QCOMPARE(model.text(0, 1), QStringLiteral("0"));

    init();
    read(model, input, dq);
    QVERIFY(!model.lastReadCancelled());
    QCOMPARE(model.rowCount(), 200000);
}

void TestQxtCsvModel::cancelWorksInsideLongQuotedField()
{
    const QByteArray input = "a;\"" + QByteArray(4 * 1024 * 1024, 'x');
    QList<qint64> reported;
    QxtCsvModel::setProgressHook([&reported](qint64) {
        return [&reported](qint64 position) {
            reported.append(position);
            return reported.size() < 10;
        };
    });
    QxtCsvModel model;
    read(model, input, dqDoubled);

    QVERIFY(model.lastReadCancelled());
    QVERIFY(reported.last() > reported.at(1));
    QCOMPARE(model.rowCount(), 1); // the partly read row is kept
    QCOMPARE(model.text(0, 0), QStringLiteral("a"));
    QVERIFY(!model.text(0, 1).isEmpty());
}

void TestQxtCsvModel::badInputIsHandled()
{
    QxtCsvModel model;
    QFile missing(QStringLiteral("/nonexistent/dir/file.csv"));
    model.readCsv(&missing, false, u';', nullptr, -1, -1);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.lastReadFailed());

    read(model, "a;b\n", dq);
    model.readCsv(nullptr, false, u';', nullptr, -1, -1);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.lastReadFailed());

    // Binary noise with NUL bytes, forced as UTF-8.
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    quint32 seed = 12345;
    for (char &byte : noise) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    read(model, noise, 27, u';', "UTF-8", 20);
    QVERIFY(!model.lastReadFailed());
    QVERIFY(model.rowCount() > 0);
    QCOMPARE(model.rowPositions().size(), 20);

    // One 8 MB line is one field, not split.
    read(model, QByteArray(8 * 1024 * 1024, 'y'), 27);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.text(0, 0).size(), 8 * 1024 * 1024);
}

void TestQxtCsvModel::writeFormats()
{
    QxtCsvModel model;
    fill(model, {{"a\"b", "c\\d", "x;y"}, {"it's", "l\nm", ""}, {"short"}});
    model.setColumnHeader(0, QStringLiteral("h\"1"));

    QCOMPARE(write(model, 27, true),
             QByteArray("\"h\\\"1\";\"\";\"\"\n"
                        "\"a\\\"b\";\"c\\\\d\";\"x;y\"\n"
                        "'it\\'s';\"l\nm\";\"\"\n"
                        "\"short\";\"\";\"\"\n"));
    QCOMPARE(write(model, 0), QByteArray("a\"b;c\\d;x;y\nit's;l\nm;\nshort;;\n"));
    QCOMPARE(write(model, dqDoubled, false, -5).left(7), QByteArray("\"a\"\"b\";"));
    QCOMPARE(write(model, QxtCsvModel::QuoteSingle, false, 1),
             QByteArray("'it''s';l\nm;\nshort;;\n"));

    // A start row past the end touches nothing, not even the file.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("out.csv")));
    QVERIFY(model.writeCsv(&file, true, u';', nullptr, 3));
    QVERIFY(!file.exists());
}

void TestQxtCsvModel::writeRoundTrip()
{
    const Table table = {
        {"plain", "with;separator", "with \"double\"", "it's"},
        {"back\\slash", "line\nbreak", "cr\r\nlf", ""},
        {" lead", "trail ", "\\\"", QStringLiteral("\u00fcn\u00efc\u00f6d\u00e9 \u20ac")},
        {"\"", "''", "a\"\"b", "\t"},
    };
    QxtCsvModel model;
    fill(model, table);
    for (const int flags : {dqDoubled | QxtCsvModel::QuoteAlways, 27})
        QCOMPARE(parse(write(model, flags), flags), table);
}

void TestQxtCsvModel::latin1RoundTripIsByteIdentical()
{
    const QByteArray input("Pr\xe4mie;\x80 5\n\x84Zitat\x93;\x96\x85\na;x\xa0y\n");
    QxtCsvModel model;
    read(model, input, dqDoubled, u';', "ISO-8859-1");
    QCOMPARE(write(model, dqDoubled, false, 0, "ISO-8859-1"), input);
}

void TestQxtCsvModel::writesIntoSaveFile()
{
    // Output written atomically: the writer leaves the commit to the owner of the save file.
    QTemporaryDir dir;
    QxtCsvModel model;
    fill(model, {{"a", "b"}});
    QSaveFile out(dir.filePath(QStringLiteral("out.csv")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(model.writeCsv(&out, false, u';', nullptr, 0));
    QVERIFY(!QFile::exists(out.fileName()));
    QVERIFY(out.commit());
    QFile written(out.fileName());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("\"a\";\"b\"\n"));
}

// A save file whose writes fall short must not be committed: the old file stays.
void TestQxtCsvModel::fullDiskLeavesTargetUntouched()
{
#ifndef Q_OS_UNIX
    QSKIP("Needs a file size limit");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    QCOMPARE(old.write("old\n"), 4);
    old.close();

    QxtCsvModel model;
    Table table;
    for (int i = 0; i < 3000; ++i)
        table.append({QString(200, u'x'), QString::number(i)});
    fill(model, table);

    for (const rlim_t limit : {rlim_t(0), rlim_t(100 * 1024)}) {
        QSaveFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        {
            const FileSizeLimit fileSizeLimit(limit);
            QVERIFY(!model.writeCsv(&out, false, u';', nullptr, 0));
        }
        QVERIFY(!out.commit());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old\n"));
        old.close();
    }

    QFile full(QStringLiteral("/dev/full"));
    if (full.exists())
        QVERIFY(!model.writeCsv(&full, false, u';', nullptr, 0));
#endif
}

void TestQxtCsvModel::unencodableText_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<bool>("written");
    const QString euro = QStringLiteral("\u20ac");
    QTest::newRow("euro in ISO-8859-1") << "h" << euro << QByteArray("ISO-8859-1") << false;
    QTest::newRow("L with stroke in ISO-8859-1")
        << "h" << QStringLiteral("\u0141") << QByteArray("ISO-8859-1") << false;
    QTest::newRow("euro in the header") << euro << "a" << QByteArray("ISO-8859-1") << false;
    QTest::newRow("umlaut in ISO-8859-1")
        << "h" << QStringLiteral("\u00e4") << QByteArray("ISO-8859-1") << true;
    QTest::newRow("euro in UTF-8") << euro << euro << QByteArray("UTF-8") << true;
}

// Text the output encoding cannot hold is not written as "?": the write fails and the
// save file is not committed.
void TestQxtCsvModel::unencodableText()
{
    QFETCH(QString, header);
    QFETCH(QString, field);
    QFETCH(QByteArray, codec);
    QFETCH(bool, written);

    QxtCsvModel model;
    fill(model, {{"a", field}});
    model.setColumnHeader(1, header);
    QTemporaryDir dir;
    QSaveFile out(dir.filePath(QStringLiteral("out.csv")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(model.writeCsv(&out, true, u';', codecNamed(codec), 0), written);
    QCOMPARE(out.commit(), written);
    QCOMPARE(QFile::exists(out.fileName()), written);
}

void TestQxtCsvModel::unpairedSurrogateIsWrittenAsReplacement_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QByteArray>("expected");
    const QChar high(0xd83d);
    const QChar low(0xde00);
    QTest::newRow("high at the end")
        << QString(u'x' + QString(high)) << QByteArray("UTF-8") << QByteArray("a;x\xef\xbf\xbd\n");
    QTest::newRow("low alone, pair kept") << QString(QString(low) + high + low) << QByteArray()
                                          << QByteArray("a;\xef\xbf\xbd\xf0\x9f\x98\x80\n");
    QTest::newRow("UTF-16") << QString(high) << QByteArray("UTF-16LE")
                            << QByteArray("a\0;\0\xfd\xff\n\0", 8);
    // Latin-1 has no replacement character: still a failure, never a "?".
    QTest::newRow("ISO-8859-1") << QString(high) << QByteArray("ISO-8859-1")
                                << QByteArray("<failed>");
}

// A script may write half a pair; the table around it must still be written.
void TestQxtCsvModel::unpairedSurrogateIsWrittenAsReplacement()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, codec);
    QFETCH(QByteArray, expected);
    QxtCsvModel model;
    fill(model, {{"a", field}});
    QCOMPARE(write(model, 0, false, 0, codec), expected);
}

void TestQxtCsvModel::writeFailuresAreReported()
{
    QxtCsvModel model;
    fill(model, {{"a", "b"}});
    QFile unopenable(QStringLiteral("/nonexistent/dir/out.csv"));
    QVERIFY(!model.writeCsv(&unopenable, false, u';', nullptr, 0));

    FailingDevice failing;
    failing.open(QIODevice::WriteOnly);
    QVERIFY(!model.writeCsv(&failing, false, u';', nullptr, 0));
    QVERIFY(!failing.isOpen());
}

void TestQxtCsvModel::encodingBridge()
{
    QCOMPARE(vondrel::encodingForCodecName("System"), QStringConverter::System);
    QCOMPARE(vondrel::encodingForCodecName("UTF-16LE"), QStringConverter::Utf16LE);
    QCOMPARE(vondrel::encodingForCodecName("UTF-16BE"), QStringConverter::Utf16BE);
    QCOMPARE(vondrel::encodingForCodecName("no-such-encoding"), QStringConverter::Utf8);

    QxtCsvModel model;
    fill(model, {{QStringLiteral("\u20ac"), "b"}});
    const QByteArray bytes = write(model, 0, false, 0, "UTF-16BE");
    QCOMPARE(bytes, QByteArray("\x20\xac\0;\0b\0\n", 8));
    QCOMPARE(parse(bytes, 0, u';', "UTF-16BE"), (Table {{QStringLiteral("\u20ac"), "b"}}));
}

void TestQxtCsvModel::modelEditing()
{
    QxtCsvModel model;
    // Fails the test on any announcement views could not follow.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    read(model, "a;b;c\nd\n", dq);

    QVERIFY(!model.data(model.index(1, 2)).isValid()); // a short row's missing cell
    QVERIFY(model.setData(model.index(1, 2), QStringLiteral("z")));
    QCOMPARE(rowsOf(model).at(1), (QStringList {"d", "", "z"}));

    QVERIFY(!model.insertRows(0, 0));
    QVERIFY(!model.removeRows(0, 0));
    QVERIFY(!model.removeColumns(0, -1));
    QVERIFY(!model.insertColumns(0, 0));

    QSignalSpy aboutToInsertRows(&model, &QAbstractItemModel::rowsAboutToBeInserted);
    QVERIFY(model.insertRows(10, 2));
    QCOMPARE(aboutToInsertRows.first().at(1).toInt(), 2);
    QVERIFY(model.removeRows(3, 100));
    QCOMPARE(model.rowCount(), 3);

    QVERIFY(model.insertColumns(5, 1));
    QCOMPARE(model.columnCount(), 6);
    QVERIFY(model.removeColumns(1, 100));
    QCOMPARE(model.columnCount(), 1);
    QCOMPARE(model.text(0, 0), QStringLiteral("a"));

    model.setHasHeader(true);
    model.setColumnHeader(0, QStringLiteral("first"));
    QVERIFY(model.insertColumns(0, 1));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("first"));
}

// A header past the last column would name a section the views do not have.
void TestQxtCsvModel::headerOnlyForExistingColumns()
{
    QxtCsvModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &QAbstractItemModel::headerDataChanged);
    model.setColumnHeader(0, QStringLiteral("none yet"));
    read(model, "a;b\n", dq);
    QVERIFY(!model.setHeaderData(2, Qt::Horizontal, QStringLiteral("x")));
    QVERIFY(!model.setHeaderData(5, Qt::Horizontal, QStringLiteral("x")));
    QVERIFY(changed.isEmpty());
    QCOMPARE(model.headerData(5, Qt::Horizontal).toInt(), 6);

    QVERIFY(model.setHeaderData(1, Qt::Horizontal, QStringLiteral("second")));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(1).toInt(), 1);
    QCOMPARE(changed.first().at(2).toInt(), 1);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("second"));
}

// Many edits, inserts and removals over a table of several storage blocks, checked against
// plain lists of rows: text moved, reclaimed or padded must come back exactly.
void TestQxtCsvModel::editsMatchPlainRows()
{
    QByteArray input;
    for (int i = 0; i < 6000; ++i)
        input += "r" + QByteArray::number(i) + ";" + QByteArray(i % 37, 'x') + ";\"q" +
            QByteArray::number(i % 7) + "\"" + (i % 5 ? ";z\n" : "\n");
    QFETCH(bool, overlaid);
    QxtCsvModel source;
    read(source, input, dq);
    const Table sourceRows = rowsOf(source);
    QxtCsvModel model;
    vondrel::CsvModelRows::copy(model, source, false);
    Table rows = sourceRows;
    int columns = model.columnCount();
    if (overlaid) {
        // Columns 1 and 3 show texts from row 3 on, except in every fourth row; column 3 lies
        // past the fields of every fifth row, which then grows where it has an entry.
        const std::vector<QString> texts = {QString(), QStringLiteral("eins"),
                                            QStringLiteral("zwei ist länger")};
        for (const int column : {1, 3}) {
            std::vector<qint32> entries;
            for (int row = 3; row < model.rowCount() - 10; ++row) {
                const qint32 entry = row % 4 == 0 ? -1 : row % 3;
                entries.push_back(entry);
                if (entry < 0)
                    continue;
                while (rows[row].size() <= column)
                    rows[row].append(QString());
                rows[row][column] = texts[size_t(entry)];
            }
            vondrel::CsvModelRows::overlayColumn(model, column, 3, entries,
                                                 std::make_shared<ListTexts>(texts));
        }
        QCOMPARE(rowsOf(model), rows);
        QVERIFY(rowReadersAgree(model));
        // A field set takes the place of an overlaid text, with or without an entry there.
        for (const int row : {2, 3, 4, 5, 101}) {
            for (const int column : {1, 3}) {
                QVERIFY(model.setData(model.index(row, column), QStringLiteral("gesetzt")));
                while (rows[row].size() <= column)
                    rows[row].append(QString());
                rows[row][column] = QStringLiteral("gesetzt");
            }
        }
        QCOMPARE(rowsOf(model), rows);
    }

    quint32 seed = 2024;
    const auto next = [&seed](int bound) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(bound));
    };
    for (int step = 0; step < 4000; ++step) {
        const int rowCount = int(rows.size());
        const int action = next(100);
        if (action < 70 && rowCount > 0 && columns > 0) {
            const int row = next(rowCount);
            const int column = next(columns);
            const QString text = QString(next(3) ? next(12) : next(3000), QChar(u'a' + next(26)));
            QVERIFY(model.setData(model.index(row, column), text));
            while (rows[row].size() <= column)
                rows[row].append(QString());
            rows[row][column] = text;
        } else if (action < 82) {
            const int row = next(rowCount + 5);
            const int count = 1 + next(300);
            QVERIFY(model.insertRows(row, count));
            rows.insert(qMin(row, rowCount), count, QStringList());
        } else if (action < 94 && rowCount > 0) {
            const int row = next(rowCount);
            const int count = 1 + next(400);
            QVERIFY(model.removeRows(row, count));
            rows.remove(row, qMin(count, rowCount - row));
        } else if (action < 97) {
            const int column = next(columns + 2);
            const int count = 1 + next(2);
            QVERIFY(model.insertColumns(column, count));
            for (QStringList &fields : rows) {
                while (fields.size() < column + 1)
                    fields.append(QString());
                fields.insert(column, count, QString());
            }
            columns = qMax(columns + count, column + count);
        } else if (columns > 1) {
            const int column = next(columns);
            const int count = qMin(1 + next(2), columns - column);
            QVERIFY(model.removeColumns(column, count));
            for (QStringList &fields : rows) {
                if (column < fields.size())
                    fields.remove(column, qMin<qsizetype>(count, fields.size() - column));
            }
            columns -= count;
        }
        if (step % 250 == 0 || step == 3999) {
            QCOMPARE(model.columnCount(), columns);
            QCOMPARE(rowsOf(model), rows);
            QVERIFY(rowReadersAgree(model));
        }
    }
    // The copy shared the source's text until it changed it; the source never changed.
    QCOMPARE(rowsOf(source), sourceRows);
}

void TestQxtCsvModel::editsMatchPlainRows_data()
{
    QTest::addColumn<bool>("overlaid");
    QTest::newRow("copy") << false;
    QTest::newRow("copy with overlaid columns") << true;
}

void TestQxtCsvModel::rowSliceFollowsListRules_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    const QList<std::pair<int, int>> ranges = {{0, -1},  {1, 2}, {-1, 2}, {-5, 3}, {-5, 10},
                                               {2, 100}, {3, 0}, {4, 1},  {5, 1},  {-2, -1},
                                               {1, -1},  {0, 4}, {-1, 1}};
    for (const auto &[start, count] : ranges)
        QTest::addRow("%d,%d", start, count) << start << count;
}

void TestQxtCsvModel::rowSliceFollowsListRules()
{
    QFETCH(int, start);
    QFETCH(int, count);
    const Table table = {{"a"}, {"b", "c"}, {""}, {"d"}};
    QxtCsvModel model;
    read(model, "a\nb;c\n\nd\n", dq);
    Table slice = {{"kept"}};
    model.rowSlice(slice, start, count);
    QCOMPARE(slice, Table {{"kept"}} + table.mid(start, count));
}

// The writer pulses the window between blocks; a pulse that outlives its beat would run a
// destroyed one.
void TestQxtCsvModel::nestedPulsesLeaveNoBeatBehind()
{
    int outerBeats = 0;
    int innerBeats = 0;
    {
        const vondrel::WorkPulse outer([&outerBeats] { ++outerBeats; }, 0);
        {
            const vondrel::WorkPulse inner([&innerBeats] { ++innerBeats; }, 0);
            vondrel::WorkPulse::pulse();
        }
        vondrel::WorkPulse::pulse();
    }
    vondrel::WorkPulse::pulse();
    QCOMPARE(innerBeats, 1);
    QCOMPARE(outerBeats, 1);
}

QTEST_MAIN(TestQxtCsvModel)
#include "tst_qxtcsvmodel.moc"
