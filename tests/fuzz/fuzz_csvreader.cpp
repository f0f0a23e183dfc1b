// The CSV table model on arbitrary bytes: every quote mode, relaxed reading, row limits and
// record positions, in each encoding the form offers; then the rows are written back.
// The same bytes are read a second time in small pieces, so that short inputs cross the
// reader's block boundaries (split characters, CR LF pairs, escapes, byte order marks), and
// both reads must give the same table. A third read parses pieces of a few bytes on several
// threads and must give what a read strictly in order gives.
//
// Input: one byte of quote-mode bits (low six), header (0x40) and positions (0x80); one byte
// choosing the codec (low three bits), separator (next two) and row limit (top three); one byte
// of piece size less one; the rest is the file.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"

#include <tables/CsvReader.h>
#include <tables/QxtCsvModel.h>
#include <tables/TextCodecBridge.h>

#include <QBuffer>
#include <QTextCodec>

#include <array>

namespace {

// None (the reader then looks for a byte order mark), the names the form lists and the ones
// the sniffer reports.
constexpr std::array<const char *, 8> codecNames = {
    nullptr, "UTF-8", "ISO-8859-1", "System", "UTF-16", "UTF-16LE", "UTF-16BE", "UTF-32",
};
constexpr std::array<char16_t, 4> separators = {u';', u',', u'\t', u'|'};

// Hands out its bytes in pieces of at most pieceSize, as a pipe or a network drive may.
class PiecewiseBuffer : public QBuffer
{
public:
    PiecewiseBuffer(QByteArray *bytes, qint64 pieceSize)
        : QBuffer(bytes)
        , m_pieceSize(pieceSize)
    { }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        return QBuffer::readData(data, qMin(maxSize, m_pieceSize));
    }

private:
    qint64 m_pieceSize;
};

struct ReadSettings
{
    int quoteFlags;
    bool withHeader;
    QChar separator;
    QTextCodec *codec;
    int maxRows;
    int recordPositions;
};

void read(QxtCsvModel &model, QIODevice &device, const ReadSettings &settings)
{
    model.setQuoteFlags(settings.quoteFlags);
    model.readCsv(&device, settings.withHeader, settings.separator, settings.codec,
                  settings.maxRows, settings.recordPositions);
    FUZZ_CHECK(!model.lastReadFailed());
    FUZZ_CHECK(!device.isOpen());
}

QList<QStringList> rows(const QxtCsvModel &model)
{
    QList<QStringList> rows;
    model.rowSlice(rows, 0, model.rowCount());
    return rows;
}

vondrel::CsvReadResult readDirectly(QIODevice &device, const ReadSettings &settings, int threads,
                                    qsizetype pieceSize)
{
    vondrel::CsvReadOptions options;
    options.separator = settings.separator;
    options.quoteFlags = settings.quoteFlags;
    options.withHeader = settings.withHeader;
    options.maxRows = settings.maxRows;
    options.recordPositions = settings.recordPositions;
    options.threads = threads;
    vondrel::CsvReader reader(options);
    reader.setEncoding(vondrel::encodingForCodec(settings.codec));
    reader.setPieceSize(pieceSize);
    return reader.read(&device);
}

void checkParallelRead(QByteArray &bytes, const ReadSettings &settings, qint64 pieceSize)
{
    QBuffer whole(&bytes);
    const vondrel::CsvReadResult serial = readDirectly(whole, settings, 1, 0);
    PiecewiseBuffer pieces(&bytes, pieceSize);
    const vondrel::CsvReadResult parallel =
        readDirectly(pieces, settings, 2 + int(pieceSize % 7), pieceSize / 3 + 1);
    FUZZ_CHECK(parallel.rows.rowCount() == serial.rows.rowCount());
    for (int row = 0; row < serial.rows.rowCount(); ++row)
        FUZZ_CHECK(parallel.rows.fields(row) == serial.rows.fields(row));
    FUZZ_CHECK(parallel.header == serial.header && parallel.headerRead == serial.headerRead);
    FUZZ_CHECK(parallel.positions == serial.positions);
    FUZZ_CHECK(parallel.widestRow == serial.widestRow);
    FUZZ_CHECK(parallel.failed == serial.failed && parallel.cancelled == serial.cancelled);
}

} // namespace

FUZZ_QUIET_INITIALIZE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 flags = input.takeByte();
    const quint8 choice = input.takeByte();
    const qint64 pieceSize = input.takeByte() + 1;
    QByteArray bytes = input.takeRest();

    const char *codecName = codecNames[choice & 7];
    ReadSettings settings;
    settings.quoteFlags = flags & 0x3f;
    settings.withHeader = flags & 0x40;
    settings.separator = separators[(choice >> 3) & 3];
    settings.codec = codecName ? QTextCodec::codecForName(codecName) : nullptr;
    settings.maxRows = (choice >> 5) == 0 ? -1 : choice >> 5;
    settings.recordPositions = (flags & 0x80) ? -1 : 0;

    QxtCsvModel model;
    QBuffer device(&bytes);
    read(model, device, settings);
    FUZZ_CHECK(settings.maxRows < 0 || model.rowCount() <= settings.maxRows);
    qint64 previous = 0;
    const QList<qint64> positions = model.rowPositions();
    for (const qint64 position : positions) {
        FUZZ_CHECK(position >= previous && position <= bytes.size());
        previous = position;
    }

    QxtCsvModel piecewise;
    PiecewiseBuffer pieces(&bytes, pieceSize);
    read(piecewise, pieces, settings);
    FUZZ_CHECK(rows(piecewise) == rows(model));
    FUZZ_CHECK(piecewise.columnCount() == model.columnCount());
    FUZZ_CHECK(piecewise.rowPositions() == positions);
    for (int column = 0; column < model.columnCount(); ++column)
        FUZZ_CHECK(piecewise.headerData(column, Qt::Horizontal) ==
                   model.headerData(column, Qt::Horizontal));

    checkParallelRead(bytes, settings, pieceSize);

    QByteArray written;
    QBuffer output(&written);
    model.writeCsv(&output, settings.withHeader, settings.separator, settings.codec, 0);
    return 0;
}
