#include "CsvProgressDialog.h"
#include "CsvWriter.h"
#include "QxtCsvModel.h"
#include "TextCodecBridge.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBuffer>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

using Table = QList<QStringList>;

namespace {

constexpr int dq = QxtCsvModel::QuoteDouble;
constexpr int dqDoubled = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
constexpr int relaxed = QxtCsvModel::RelaxedInput;

Table rowsOf(const QxtCsvModel &model)
{
    Table rows;
    model.rowSlice(rows, 0, model.rowCount());
    return rows;
}

Table parse(const QByteArray &bytes, int flags, QChar separator = u';',
            const QByteArray &codecName = {}, int recordPositions = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QxtCsvModel model;
    model.setQuoteFlags(flags);
    model.readCsv(&buffer, false, separator,
                  codecName.isEmpty() ? nullptr : QTextCodec::codecForName(codecName), -1,
                  recordPositions);
    return rowsOf(model);
}

QByteArray write(QxtCsvModel &model, int flags, bool withHeader = false, int startRow = 0,
                 const QByteArray &codecName = {})
{
    QBuffer buffer;
    model.setQuoteFlags(flags);
    const bool ok = model.writeCsv(
        &buffer, withHeader, u';',
        codecName.isEmpty() ? nullptr : QTextCodec::codecForName(codecName), startRow);
    return ok ? buffer.data() : QByteArray("<failed>");
}

void fill(QxtCsvModel &model, const Table &rows)
{
    const int columns = rows.isEmpty() ? 0 : int(rows.first().size());
    model.insertRows(0, int(rows.size()));
    for (int column = 0; column < columns; ++column)
        model.insertColumns(column, 1);
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows.at(row).size(); ++column)
            model.setText(row, column, rows.at(row).at(column));
}

// Accepts a device open but fails every write, as a full disk does.
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
    void recordPositions_data();
    void recordPositions();
    void headerAndRowLimit();
    void cancelKeepsRowsAndIsReported();
    void cancelWorksInsideLongQuotedField();
    void progressDialogScalesHugeDevices();
    void badInputIsHandled();

    void writeFormats();
    void writeRoundTrip_data();
    void writeRoundTrip();
    void latin1RoundTripIsByteIdentical();
    void writeFailuresAreReported();

    void encodingBridge();
    void modelEditing();
};

void TestQxtCsvModel::init()
{
    QxtCsvModel::setProgressHook([](qint64) { return CsvProgressCallback(); });
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

    const QString semicolon = QStringLiteral(";");
    QTest::newRow("unquoted fields are trimmed")
        << QByteArray("x ; y ;z") << dq << semicolon << QByteArray() << Table {{"x", "y", "z"}};
    QTest::newRow("quoted field keeps blanks")
        << QByteArray("\" a \";b") << dq << semicolon << QByteArray() << Table {{" a ", "b"}};
    QTest::newRow("quote after blank is text")
        << QByteArray(" \"ab\"") << dq << semicolon << QByteArray() << Table {{"\"ab\""}};
    QTest::newRow("text after closing quote") << QByteArray("\"ab\"cd;\"ab\" ;e") << dq << semicolon
                                              << QByteArray() << Table {{"abcd", "ab ", "e"}};
    QTest::newRow("doubled quote") << QByteArray("\"a\"\"b\";c") << dqDoubled << semicolon
                                   << QByteArray() << Table {{"a\"b", "c"}};
    QTest::newRow("doubled quote without escape bit")
        << QByteArray("\"a\"\"b\"") << dq << semicolon << QByteArray() << Table {{"a\"b\""}};
    QTest::newRow("backslash escapes only inside quotes")
        << QByteArray("\"a\\\"b\\\\\";c\\\"d") << (dq | QxtCsvModel::EscapeBackslash) << semicolon
        << QByteArray() << Table {{"a\"b\\", "c\\\"d"}};
    QTest::newRow("single quotes") << QByteArray("'a;b';\"c;d\"") << int(QxtCsvModel::QuoteSingle)
                                   << semicolon << QByteArray() << Table {{"a;b", "\"c", "d\""}};
    QTest::newRow("unterminated quote takes the rest")
        << QByteArray("x\n\"ab;c\nd") << dq << semicolon << QByteArray()
        << Table {{"x"}, {"ab;c\nd"}};
    QTest::newRow("CR LF inside quotes") << QByteArray("\"a\r\nb\";c\r\nd") << dq << semicolon
                                         << QByteArray() << Table {{"a\r\nb", "c"}, {"d"}};
    QTest::newRow("CR LF, LF and lone CR") << QByteArray("a\r\nb\nc\rd") << dq << semicolon
                                           << QByteArray() << Table {{"a"}, {"b"}, {"c"}, {"d"}};
    QTest::newRow("empty line is an empty row")
        << QByteArray("a\n\nb\n") << dq << semicolon << QByteArray() << Table {{"a"}, {""}, {"b"}};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << dq << semicolon << QByteArray()
                              << Table {{"a"}, {""}, {"b"}};
    QTest::newRow("last line without newline") << QByteArray("a;b\nc;d") << dq << semicolon
                                               << QByteArray() << Table {{"a", "b"}, {"c", "d"}};
    QTest::newRow("trailing newline adds no row")
        << QByteArray("a;b\r\n") << dq << semicolon << QByteArray() << Table {{"a", "b"}};
    QTest::newRow("quoted field and separator at the end")
        << QByteArray("\"a\";") << dqDoubled << semicolon << QByteArray() << Table {{"a", ""}};
    QTest::newRow("empty quoted field as last line")
        << QByteArray("a\n\"\"") << dqDoubled << semicolon << QByteArray() << Table {{"a"}, {""}};
    QTest::newRow("tab ends the record")
        << QByteArray("a\tb;c") << dq << semicolon << QByteArray() << Table {{"a"}, {"b", "c"}};
    QTest::newRow("tab dropped when relaxed") << QByteArray("a\tb;c") << (dq | relaxed) << semicolon
                                              << QByteArray() << Table {{"ab", "c"}};
    QTest::newRow("tab as separator")
        << QByteArray("a\tb;c") << (dq | relaxed) << QStringLiteral("\t") << QByteArray()
        << Table {{"a", "b;c"}};
    QTest::newRow("NUL dropped when relaxed") << QByteArray("a\0b\0;c", 6) << (dq | relaxed)
                                              << semicolon << QByteArray() << Table {{"ab", "c"}};
    QTest::newRow("line separator ends the record")
        << QByteArray("a\xe2\x80\xa8"
                      "b")
        << (dq | relaxed) << semicolon << QByteArray() << Table {{"a"}, {"b"}};
    QTest::newRow("Windows-1252 bytes read as Latin-1 are text")
        << QByteArray("\x80;\x84x\x93\x85\n\x96") << dq << semicolon << QByteArray("ISO-8859-1")
        << Table {{QStringLiteral("\u0080"), QStringLiteral("\u0084x\u0093\u0085")},
                  {QStringLiteral("\u0096")}};
    QTest::newRow("Windows-1252 bytes survive relaxed reading")
        << QByteArray("\x80;\x84x\x93\n") << (dq | relaxed) << semicolon << QByteArray("ISO-8859-1")
        << Table {{QStringLiteral("\u0080"), QStringLiteral("\u0084x\u0093")}};
    QTest::newRow("byte order mark is not data")
        << QByteArray("\xef\xbb\xbf"
                      "a;b")
        << dq << semicolon << QByteArray("ISO-8859-1") << Table {{"a", "b"}};
    QTest::newRow("invalid and truncated UTF-8 become replacement characters")
        << QByteArray("a\xff;\xc3") << dq << semicolon << QByteArray()
        << Table {{QStringLiteral("a\ufffd"), QStringLiteral("\ufffd")}};
    QTest::newRow("empty input") << QByteArray() << dq << semicolon << QByteArray() << Table {};
    QTest::newRow("only a byte order mark")
        << QByteArray("\xef\xbb\xbf") << dq << semicolon << QByteArray() << Table {};
}

void TestQxtCsvModel::quotingAndLineEnds()
{
    QFETCH(QByteArray, input);
    QFETCH(int, flags);
    QFETCH(QString, separator);
    QFETCH(QByteArray, codec);
    QFETCH(Table, expected);

    QCOMPARE(parse(input, flags, separator.at(0), codec), expected);
    // Recording every position feeds the parser one byte at a time: every quote, escape and
    // line end then straddles a piece boundary.
    QCOMPARE(parse(input, flags, separator.at(0), codec, -1), expected);
}

void TestQxtCsvModel::recordPositions_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<int>("recordPositions");
    QTest::addColumn<QList<qint64>>("expected");

    // BOM (3) | a;é CR (5) LF | €;b LF (6) | "x CR LF y" CR (7) LF | z (2)
    const QByteArray utf8 = QByteArray("\xef\xbb\xbf"
                                       "a;\xc3\xa9\r\n"
                                       "\xe2\x82\xac;b\n"
                                       "\"x\r\ny\"\r\n"
                                       "z");
    QTest::newRow("UTF-8, all") << utf8 << QByteArray() << -1 << QList<qint64> {8, 15, 22, 24};
    QTest::newRow("UTF-8, first two") << utf8 << QByteArray() << 2 << QList<qint64> {8, 15};
    QTest::newRow("none") << utf8 << QByteArray() << 0 << QList<qint64> {};

    QByteArray utf16 = QByteArray("\xff\xfe");
    utf16 += QByteArray(reinterpret_cast<const char *>(u"\u00e9;b\r\nc"), 12);
    QTest::newRow("UTF-16LE with BOM")
        << utf16 << QByteArray("UTF-16LE") << -1 << QList<qint64> {10, 14};
}

void TestQxtCsvModel::recordPositions()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, codec);
    QFETCH(int, recordPositions);
    QFETCH(QList<qint64>, expected);

    QBuffer buffer;
    buffer.setData(input);
    QxtCsvModel model;
    model.setQuoteFlags(dqDoubled);
    model.readCsv(&buffer, false, u';', QTextCodec::codecForName(codec), -1, recordPositions);
    QCOMPARE(model.rowPositions(), expected);
    QCOMPARE(model.rowCount(), 4 - (codec == "UTF-16LE" ? 2 : 0));
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
    QVERIFY(!model.lastReadCancelled());

    // A later read without header keeps the header and its width.
    buffer.setData("a\n");
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("extra"));
}

void TestQxtCsvModel::cancelKeepsRowsAndIsReported()
{
    QByteArray input;
    for (int i = 0; i < 200000; ++i)
        input += "row;" + QByteArray::number(i) + "\n";
    QBuffer buffer;
    buffer.setData(input);

    int calls = 0;
    QxtCsvModel::setProgressHook([&calls](qint64) {
        return [&calls](qint64) {
            return ++calls < 3;
        };
    });
    QxtCsvModel model;
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);

    QVERIFY(model.lastReadCancelled());
    QVERIFY(model.rowCount() > 0);
    QVERIFY(model.rowCount() < 200000);
    QCOMPARE(model.text(0, 1), QStringLiteral("0"));
    QVERIFY(!buffer.isOpen());

    // A complete read clears the mark.
    QxtCsvModel::setProgressHook({});
    init();
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);
    QVERIFY(!model.lastReadCancelled());
    QCOMPARE(model.rowCount(), 200000);
}

void TestQxtCsvModel::cancelWorksInsideLongQuotedField()
{
    const QByteArray input = "a;\"" + QByteArray(4 * 1024 * 1024, 'x');
    QBuffer buffer;
    buffer.setData(input);

    QList<qint64> reported;
    QxtCsvModel::setProgressHook([&reported](qint64 size) {
        [size] {
            QCOMPARE(size, 4 * 1024 * 1024 + 3);
        }();
        return [&reported](qint64 position) {
            reported.append(position);
            return reported.size() < 10;
        };
    });
    QxtCsvModel model;
    model.setQuoteFlags(dqDoubled);
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);

    QVERIFY(model.lastReadCancelled());
    QCOMPARE(reported.size(), 10);
    QVERIFY(reported.last() > reported.at(1));
    QCOMPARE(model.rowCount(), 1); // the partly read row is kept
    QCOMPARE(model.text(0, 0), QStringLiteral("a"));
    QVERIFY(model.text(0, 1).size() > 0);
}

void TestQxtCsvModel::progressDialogScalesHugeDevices()
{
    const qint64 fiveGiB = Q_INT64_C(5) << 30;
    CsvProgressDialog progress(fiveGiB);
    QProgressDialog *dialog = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (auto *candidate = qobject_cast<QProgressDialog *>(window))
            dialog = candidate;
    QVERIFY(dialog);
    QVERIFY(dialog->maximum() > 1000000);
    QVERIFY(progress.update(fiveGiB / 2));
    QVERIFY(qAbs(dialog->value() - dialog->maximum() / 2) <= 1);
    dialog->cancel();
    QVERIFY(!progress.update(fiveGiB / 2 + 1));
}

void TestQxtCsvModel::badInputIsHandled()
{
    QxtCsvModel model;
    QFile missing(QStringLiteral("/nonexistent/dir/file.csv"));
    model.readCsv(&missing, false, u';', nullptr, -1, -1);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.lastReadFailed());

    // Binary noise with NUL bytes, forced as UTF-8: no crash, nothing beyond the input.
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    quint32 seed = 12345;
    for (char &byte : noise) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    QBuffer buffer;
    buffer.setData(noise);
    model.setQuoteFlags(27);
    model.readCsv(&buffer, false, u';', QTextCodec::codecForName("UTF-8"), -1, 20);
    QVERIFY(!model.lastReadFailed());
    QVERIFY(model.rowCount() > 0);
    QCOMPARE(model.rowPositions().size(), 20);

    // One 8 MB line is one field, not split.
    buffer.setData(QByteArray(8 * 1024 * 1024, 'y'));
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);
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
    QCOMPARE(write(model, dqDoubled, false, 1), QByteArray("it's;l\nm;\nshort;;\n"));
    QCOMPARE(write(model, QxtCsvModel::QuoteSingle, false, 1),
             QByteArray("'it''s';l\nm;\nshort;;\n"));
    QCOMPARE(write(model, dqDoubled, false, -5).left(7), QByteArray("\"a\"\"b\";"));
    QCOMPARE(quoteCsvField(QxtCsvModel::QuoteSingle | QxtCsvModel::EscapeBackslash |
                               QxtCsvModel::QuoteAlways,
                           QStringLiteral("o'k\\")),
             QStringLiteral("'o\\'k\\\\'"));

    // A start row past the end touches nothing, not even the file.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("out.csv")));
    QVERIFY(model.writeCsv(&file, true, u';', nullptr, 3));
    QVERIFY(!file.exists());
}

void TestQxtCsvModel::writeRoundTrip_data()
{
    QTest::addColumn<int>("flags");
    QTest::newRow("doubled quotes, always quoted") << (dqDoubled | QxtCsvModel::QuoteAlways);
    QTest::newRow("default mode") << 27;
}

void TestQxtCsvModel::writeRoundTrip()
{
    QFETCH(int, flags);
    const Table table = {
        {"plain", "with;separator", "with \"double\"", "it's"},
        {"back\\slash", "line\nbreak", "cr\r\nlf", ""},
        {" lead", "trail ", "\\\"", QStringLiteral("\u00fcn\u00efc\u00f6d\u00e9 \u20ac")},
        {"\"", "''", "a\"\"b", "\t"},
    };
    QxtCsvModel model;
    fill(model, table);
    const QByteArray bytes = write(model, flags);
    QCOMPARE(parse(bytes, flags), table);
}

void TestQxtCsvModel::latin1RoundTripIsByteIdentical()
{
    const QByteArray input("Pr\xe4mie;\x80 5\n\x84Zitat\x93;\x96\x85\n\"a;b\";x\xa0y\n");
    QBuffer buffer;
    buffer.setData(input);
    QxtCsvModel model;
    model.setQuoteFlags(dqDoubled);
    model.readCsv(&buffer, false, u';', QTextCodec::codecForName("ISO-8859-1"), -1, 0);
    QCOMPARE(write(model, dqDoubled, false, 0, "ISO-8859-1"),
             QByteArray("Pr\xe4mie;\x80 5\n\x84Zitat\x93;\x96\x85\na;b;x\xa0y\n"));
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

    QBuffer buffer;
    QVERIFY(model.writeCsv(&buffer, false, u';', nullptr, 0));
    QVERIFY(!buffer.isOpen());
}

void TestQxtCsvModel::encodingBridge()
{
    QCOMPARE(encodingForCodecName("System"), QStringConverter::System);
    QCOMPARE(encodingForCodecName("UTF-16LE"), QStringConverter::Utf16LE);
    QCOMPARE(encodingForCodecName("UTF-16BE"), QStringConverter::Utf16BE);
    QCOMPARE(encodingForCodecName("ISO-8859-1"), QStringConverter::Latin1);
    QCOMPARE(encodingForCodecName("no-such-encoding"), QStringConverter::Utf8);
    QVERIFY(!encodingForCodec(nullptr));
    QCOMPARE(encodingForCodec(QTextCodec::codecForName("latin1")), QStringConverter::Latin1);

    // Reading and writing UTF-16BE without a mark.
    QxtCsvModel model;
    fill(model, {{QStringLiteral("\u20ac"), "b"}});
    const QByteArray bytes = write(model, 0, false, 0, "UTF-16BE");
    QCOMPARE(bytes, QByteArray("\x20\xac\0;\0b\0\n", 8));
    QCOMPARE(parse(bytes, 0, u';', "UTF-16BE"), (Table {{QStringLiteral("\u20ac"), "b"}}));
}

void TestQxtCsvModel::modelEditing()
{
    QxtCsvModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QBuffer buffer;
    buffer.setData("a;b;c\nd\n");
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);

    // A short row has no data in its missing cells until one is set.
    QVERIFY(!model.data(model.index(1, 2)).isValid());
    QCOMPARE(model.text(1, 2), QString());
    QVERIFY(model.setData(model.index(1, 2), QStringLiteral("z")));
    QCOMPARE(rowsOf(model).at(1), (QStringList {"d", "", "z"}));
    QVERIFY(!model.setData(model.index(1, 2), 1, Qt::DecorationRole));
    QVERIFY(!model.setData(model.index(5, 0), QStringLiteral("x")));

    QSignalSpy aboutToInsertRows(&model, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy aboutToRemoveRows(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy aboutToRemoveColumns(&model, &QAbstractItemModel::columnsAboutToBeRemoved);
    QVERIFY(!model.insertRows(0, 0));
    QVERIFY(!model.removeRows(0, 0));
    QVERIFY(!model.removeColumns(0, -1));
    QVERIFY(!model.insertColumns(0, 0));
    QCOMPARE(aboutToInsertRows.count() + aboutToRemoveRows.count() + aboutToRemoveColumns.count(),
             0);

    // Rows asked for past the end are appended where they are announced.
    QVERIFY(model.insertRows(10, 2));
    QCOMPARE(aboutToInsertRows.count(), 1);
    QCOMPARE(aboutToInsertRows.first().at(1).toInt(), 2);
    QCOMPARE(model.rowCount(), 4);
    QVERIFY(model.removeRows(3, 100));
    QCOMPARE(model.rowCount(), 3);

    QVERIFY(model.insertColumns(5, 1));
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(model.text(0, 2), QStringLiteral("c"));
    QVERIFY(model.removeColumns(1, 100));
    QCOMPARE(model.columnCount(), 1);
    QCOMPARE(model.text(0, 0), QStringLiteral("a"));

    // With a header, inserted columns shift the header texts along.
    model.setHasHeader(true);
    model.setColumnHeader(0, QStringLiteral("first"));
    QVERIFY(model.insertColumns(0, 1));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("first"));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString());
    QVERIFY(!model.setHeaderData(0, Qt::Vertical, QStringLiteral("x")));
    QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

QTEST_MAIN(TestQxtCsvModel)
#include "tst_qxtcsvmodel.moc"
