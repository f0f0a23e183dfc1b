#include <tables/CsvReader.h>
#include <tables/QxtCsvModel.h>

#include <QBuffer>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

using vondrel::CsvReader;
using vondrel::CsvReadOptions;
using vondrel::CsvReadResult;
using Encoding = std::optional<QStringConverter::Encoding>;

namespace {

// Hands out its bytes in reads of at most chunk bytes, and fails for good at failAt when set.
class ChunkedBuffer : public QBuffer
{
public:
    ChunkedBuffer(const QByteArray &bytes, qint64 chunk, qint64 failAt = -1)
        : m_chunk(chunk)
        , m_failAt(failAt)
    {
        setData(bytes);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        qint64 size = qMin(maxSize, m_chunk);
        if (m_failAt >= 0) {
            if (pos() >= m_failAt)
                return -1;
            size = qMin(size, m_failAt - pos());
        }
        return QBuffer::readData(data, size);
    }

private:
    qint64 m_chunk;
    qint64 m_failAt;
};

// Everything a read yields, comparable as a whole: the rows as lists of fields.
struct ReadOutcome
{
    QList<QStringList> rows;
    CsvReadResult read;

    bool operator==(const ReadOutcome &other) const
    {
        const CsvReadResult &theirs = other.read;
        return rows == other.rows && read.header == theirs.header &&
            read.headerRead == theirs.headerRead && read.positions == theirs.positions &&
            read.widestRow == theirs.widestRow && read.cancelled == theirs.cancelled &&
            read.failed == theirs.failed;
    }
};

ReadOutcome outcomeOf(CsvReadResult result)
{
    ReadOutcome outcome;
    for (int row = 0; row < result.rows.rowCount(); ++row)
        outcome.rows.append(result.rows.fields(row));
    outcome.read = std::move(result);
    return outcome;
}

struct Parallel
{
    int threads = 1;
    qsizetype pieceSize = 0;
    qint64 chunk = 1 << 30;
    qint64 failAt = -1;
};

ReadOutcome readWith(const QByteArray &bytes, CsvReadOptions options, Encoding encoding,
                     const Parallel &parallel, vondrel::CsvProgressCallback progress = {})
{
    options.threads = parallel.threads;
    CsvReader reader(options);
    reader.setEncoding(encoding);
    reader.setProgressCallback(std::move(progress));
    if (parallel.pieceSize > 0)
        reader.setPieceSize(parallel.pieceSize);
    ChunkedBuffer device(bytes, parallel.chunk, parallel.failAt);
    return outcomeOf(reader.read(&device));
}

// Text made to put what a piece boundary could break next to line feeds: quoted fields over
// line ends, CR LF and lone CR, doubled and escaped quotes, blank lines, blanks to trim,
// broken and whole multi-byte sequences, controls and line separators.
QByteArray randomCsv(QRandomGenerator &random, qsizetype size)
{
    static const QList<QByteArray> tokens = {"abc",
                                             "12",
                                             " x ",
                                             ";",
                                             ";",
                                             ",",
                                             "\t",
                                             "\"",
                                             "\"\"",
                                             "'",
                                             "\\",
                                             "\\\"",
                                             "\n",
                                             "\n",
                                             "\n",
                                             "\n",
                                             "\r\n",
                                             "\r\n",
                                             "\r",
                                             "\n\n",
                                             "\"a\nb\"",
                                             "\"a;\r\nb\"",
                                             "'q\n'",
                                             "\"\"\"\n\"",
                                             "\\\n",
                                             "\xc3\xa4",
                                             "\xe2\x82\xac",
                                             "\xf0\x9d\x84\x9e",
                                             "\xe2\x80\xa8",
                                             "\xc3\n",
                                             "\xe2\x82\n",
                                             "\n\x82",
                                             "\xff",
                                             "\x80\n",
                                             "\xf0\x9d\n",
                                             QByteArray("\0", 1),
                                             "\x01",
                                             "\x7f",
                                             "  ",
                                             "\xa0",
                                             "\xef\xbb\xbf"};
    QByteArray bytes;
    if (random.bounded(4) == 0)
        bytes += "\xef\xbb\xbf";
    while (bytes.size() < size)
        bytes += tokens.at(random.bounded(int(tokens.size())));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Encoding)

class TestCsvReader : public QObject
{
    Q_OBJECT

private slots:
    void parallelReadEqualsSerial_data();
    void parallelReadEqualsSerial();
    void cancelledParallelReadKeepsLeadingRows();
    void failedParallelReadEqualsSerial();
    void modelReadsLargeFileAlike();
};

void TestCsvReader::parallelReadEqualsSerial_data()
{
    QTest::addColumn<int>("quoteFlags");
    QTest::addColumn<bool>("withHeader");
    QTest::addColumn<int>("recordPositions");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QByteArray>("input"); // random inputs when empty

    constexpr int dq = QxtCsvModel::QuoteDouble;
    constexpr int doubled = QxtCsvModel::EscapeDoubledQuote;
    constexpr int single = QxtCsvModel::QuoteSingle;
    constexpr int backslash = QxtCsvModel::EscapeBackslash;
    constexpr int relaxed = QxtCsvModel::RelaxedInput;
    const Encoding none;
    QTest::newRow("default mode") << 27 << false << 0 << none << QByteArray();
    QTest::newRow("doubled quotes, header") << (dq | doubled) << true << 0 << none << QByteArray();
    QTest::newRow("doubled quotes, positions")
        << (dq | doubled) << false << 5 << none << QByteArray();
    QTest::newRow("single quotes, backslash")
        << (single | backslash) << true << 2 << none << QByteArray();
    QTest::newRow("relaxed") << (dq | doubled | relaxed) << false << 0 << none << QByteArray();
    QTest::newRow("no quotes") << 0 << false << 0 << none << QByteArray();
    QTest::newRow("UTF-8") << (dq | doubled) << true << 0 << Encoding(QStringConverter::Utf8)
                           << QByteArray();
    QTest::newRow("Latin-1") << 27 << true << 1 << Encoding(QStringConverter::Latin1)
                             << QByteArray();
    QTest::newRow("Latin-1, relaxed") << (dq | doubled | relaxed) << false << 0
                                      << Encoding(QStringConverter::Latin1) << QByteArray();
    QTest::newRow("UTF-16") << (dq | doubled) << false << 0 << Encoding(QStringConverter::Utf16LE)
                            << QByteArray();
    QTest::newRow("System") << 27 << false << 0 << Encoding(QStringConverter::System)
                            << QByteArray();

    // Past the first block of 64 kB, rounds that hold no line feed are read in order, and only
    // once.
    QByteArray crOnly;
    for (int i = 0; crOnly.size() <= 96 * 1024; ++i)
        crOnly +=
            "row " + QByteArray::number(i) + ";\"a\"\"b\";" + QByteArray::number(i * 7) + '\r';
    QTest::newRow("CR line ends only") << (dq | doubled) << false << 0 << none << crOnly;
    QTest::newRow("one long line")
        << (dq | doubled) << false << 0 << none << QByteArray("abc;").repeated(75000) + '\n';
}

void TestCsvReader::parallelReadEqualsSerial()
{
    QFETCH(int, quoteFlags);
    QFETCH(bool, withHeader);
    QFETCH(int, recordPositions);
    QFETCH(Encoding, encoding);
    QFETCH(QByteArray, input);

    CsvReadOptions options;
    options.quoteFlags = quoteFlags;
    options.withHeader = withHeader;
    options.recordPositions = recordPositions;
    QRandomGenerator random(quint32(qHash(QTest::currentDataTag())));
    for (int i = 0; i < (input.isEmpty() ? 60 : 4); ++i) {
        const QByteArray bytes =
            input.isEmpty() ? randomCsv(random, random.bounded(200, 6000)) : input;
        const ReadOutcome serial = readWith(bytes, options, encoding, {});
        Parallel parallel;
        parallel.threads = random.bounded(2, 9);
        parallel.pieceSize = random.bounded(1, 120);
        parallel.chunk = random.bounded(1, 300);
        const ReadOutcome pieces = readWith(bytes, options, encoding, parallel);
        if (!(pieces == serial))
            QFAIL(
                qPrintable(QStringLiteral("input %1, %2 threads, pieces of %3, chunks of %4: %5")
                               .arg(i)
                               .arg(parallel.threads)
                               .arg(parallel.pieceSize)
                               .arg(parallel.chunk)
                               .arg(input.isEmpty() ? QString::fromLatin1(bytes.toPercentEncoding())
                                                    : QStringLiteral("the row's input"))));
    }
}

void TestCsvReader::cancelledParallelReadKeepsLeadingRows()
{
    QRandomGenerator random(7);
    CsvReadOptions options;
    options.quoteFlags = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
    for (int i = 0; i < 40; ++i) {
        const QByteArray bytes = randomCsv(random, 20000);
        const ReadOutcome whole = readWith(bytes, options, {}, {});
        const int allowed = random.bounded(1, 40);
        int calls = 0;
        qint64 last = 0;
        bool forward = true;
        const ReadOutcome cancelled = readWith(bytes, options, {}, {4, 200, 1000},
                                               [&calls, &last, &forward, allowed](qint64 position) {
                                                   forward = forward && position >= last;
                                                   last = position;
                                                   return ++calls <= allowed;
                                               });
        QVERIFY(forward);
        if (!cancelled.read.cancelled) {
            QCOMPARE(cancelled, whole);
            continue;
        }
        // The rows are those of the whole read, the last one possibly cut short.
        QVERIFY(cancelled.rows.size() <= whole.rows.size());
        for (qsizetype row = 0; row + 1 < cancelled.rows.size(); ++row)
            QCOMPARE(cancelled.rows.at(row), whole.rows.at(row));
    }
}

void TestCsvReader::failedParallelReadEqualsSerial()
{
    QRandomGenerator random(11);
    // Every read here fails on purpose.
    QLoggingCategory::setFilterRules(QStringLiteral("vondrel.tables.warning=false"));
    CsvReadOptions options;
    options.quoteFlags = 27;
    for (int i = 0; i < 40; ++i) {
        const QByteArray bytes = randomCsv(random, 4000);
        const qint64 failAt = random.bounded(qint64(bytes.size()));
        const ReadOutcome serial = readWith(bytes, options, {}, {1, 0, 1 << 30, failAt});
        QVERIFY(serial.read.failed);
        const ReadOutcome pieces =
            readWith(bytes, options, {}, {random.bounded(2, 9), random.bounded(1, 64), 50, failAt});
        QCOMPARE(pieces, serial);
    }
}

// The reader's own piece size, through the model, on text with long quoted fields.
void TestCsvReader::modelReadsLargeFileAlike()
{
    QByteArray bytes = "id;name;note\n";
    for (int i = 0; bytes.size() < 12 * 1024 * 1024; ++i) {
        bytes += QByteArray::number(i) + ";N\xc3\xa4me " + QByteArray::number(i % 977) + ";";
        bytes += i % 5000 == 0 ? "\"" + QByteArray(70000, 'x') + "\n;\"\"\"\r\n" : "x\r\n";
    }
    QList<QStringList> rows[2];
    int columns[2] = {};
    for (const int threads : {1, 4}) {
        QBuffer buffer;
        buffer.setData(bytes);
        QxtCsvModel model;
        model.setReadThreads(threads);
        model.setQuoteFlags(QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote);
        model.readCsv(&buffer, true, u';', nullptr, -1, 3);
        QVERIFY(!model.lastReadFailed());
        model.rowSlice(rows[threads > 1], 0, model.rowCount());
        columns[threads > 1] = model.columnCount();
    }
    QVERIFY(rows[0].size() > 100000);
    QCOMPARE(rows[1], rows[0]);
    QCOMPARE(columns[1], columns[0]);
}

QTEST_GUILESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
