#include "CsvReader.h"

#include "CsvReaderPieces.h"
#include "TablesLog.h"
#include "TextBlockDecoder.h"

#include <QIODevice>
#include <QThread>

#include <cstring>
#include <vector>

namespace vondrel {

namespace {

constexpr qsizetype blockSize = 64 * 1024;
// An unfinished character carried over to the next block is at most this long.
constexpr qsizetype carryLimit = 4;
// Beyond this, taking the pieces over in order is what limits a parallel read; each thread
// adds a piece to the bytes held per round.
constexpr int maxThreads = 16;

struct DetectedEncoding
{
    QStringConverter::Encoding encoding;
    qsizetype byteOrderMarkLength;
};

// A byte order mark at the start selects its encoding and is not part of the text.
DetectedEncoding detectEncoding(QByteArrayView firstBytes,
                                std::optional<QStringConverter::Encoding> chosen)
{
    const auto marked = QStringConverter::encodingForData(firstBytes);
    if (!marked)
        return {chosen.value_or(QStringConverter::Utf8), 0};
    switch (*marked) {
    case QStringConverter::Utf8:
        return {*marked, 3};
    case QStringConverter::Utf32LE:
    case QStringConverter::Utf32BE:
        return {*marked, 4};
    default:
        return {*marked, 2};
    }
}

// Decodes the bytes, which start at the given device offset, and feeds the text to the
// parser. Record end offsets are exact only character by character; they are wanted for a
// few records at the start.
void feedDecoded(CsvParser &parser, TextBlockDecoder &decoder, QByteArrayView bytes, qint64 offset,
                 std::vector<QChar> &text)
{
    qsizetype pos = 0;
    while (pos < bytes.size() && parser.wantsPositions() && !parser.stopped()) {
        const qsizetype length = decoder.characterLength(bytes.sliced(pos));
        const QChar *end = decoder.decode(bytes.sliced(pos, length), text.data());
        pos += length;
        parser.setStreamPosition(offset + pos);
        parser.feed(text.data(), end);
    }
    if (pos < bytes.size() && !parser.stopped()) {
        const QChar *end = decoder.decode(bytes.sliced(pos), text.data());
        parser.feed(text.data(), end);
    }
}

// One read of a device. Blocks are decoded and parsed in order until only rows are wanted;
// then, where the encoding allows, rounds of several pieces are parsed side by side.
class ReadPass
{
public:
    ReadPass(const CsvReadOptions &options, std::optional<QStringConverter::Encoding> chosen,
             const CsvProgressCallback &progress, qsizetype pieceSize)
        : m_options(options)
        , m_chosen(chosen)
        , m_progress(progress)
        , m_pieceSize(pieceSize)
        , m_threads(qBound(1, options.threads > 0 ? options.threads : QThread::idealThreadCount(),
                           maxThreads))
        , m_parser(options)
    { }

    CsvReadResult run(QIODevice *device);

private:
    // Reports the device position reached; false when the user cancels.
    bool reportProgress(qint64 position);
    // Returns true when the rest is to be read in rounds.
    bool readBlocks();
    void readRounds();
    // Parses bytes that end after a line feed, in pieces where there is more than one;
    // false when the user cancels. offset: the bytes' position in the device.
    bool parseLines(QByteArrayView bytes, qint64 offset);
    // Feeds bytes of whole characters to the parser, reporting progress as it goes.
    bool feedInOrder(QByteArrayView bytes, qint64 offset);

    const CsvReadOptions &m_options;
    const std::optional<QStringConverter::Encoding> m_chosen;
    const CsvProgressCallback &m_progress;
    const qsizetype m_pieceSize;
    const int m_threads;
    CsvParser m_parser;
    QIODevice *m_device = nullptr;
    qint64 m_size = 0;
    qint64 m_start = 0;
    qint64 m_consumed = 0;
    qint64 m_reported = 0;
    // The unfinished character or line left from the last read, then the new bytes.
    QByteArray m_bytes;
    qsizetype m_carried = 0;
    std::optional<TextBlockDecoder> m_decoder;
    QStringConverter::Encoding m_encoding = QStringConverter::Utf8;
    std::vector<QChar> m_text;
    bool m_failed = false;
    bool m_cancelled = false;
};

CsvReadResult ReadPass::run(QIODevice *device)
{
    if (!device) {
        CsvReadResult result = m_parser.takeResult();
        result.failed = true;
        return result;
    }
    m_device = device;
    if (!device->isOpen())
        device->open(QIODevice::ReadOnly);

    m_failed = !device->isReadable();
    m_size = device->size();
    m_start = device->isSequential() ? 0 : device->pos();
    m_bytes.resize(carryLimit + blockSize);
    if (readBlocks())
        readRounds();

    m_parser.setStreamPosition(m_start + m_consumed);
    m_parser.finish();

    if (device->isOpen())
        device->close();

    const bool failed = m_failed || m_parser.overflowed();
    CsvReadResult result = m_parser.takeResult();
    result.cancelled = m_cancelled;
    result.failed = failed;
    if (m_parser.overflowed())
        qCWarning(lcTables) << "CSV read stopped after" << m_consumed
                            << "bytes: a record is too long to hold";
    else if (failed)
        qCWarning(lcTables) << "CSV read failed after" << m_consumed
                            << "bytes:" << device->errorString();
    else if (m_cancelled)
        qCInfo(lcTables) << "CSV read cancelled after" << m_consumed << "bytes";
    return result;
}

bool ReadPass::reportProgress(qint64 position)
{
    // Lines carried over to the next round are reported again; progress never goes back.
    m_reported = qMax(m_reported, qMin(position, m_size));
    if (m_progress && !m_progress(m_reported))
        m_cancelled = true;
    return !m_cancelled;
}

bool ReadPass::readBlocks()
{
    while (!m_failed) {
        if (m_decoder && m_threads > 1 && CsvReaderPieces::cutsAtLineFeeds(m_encoding) &&
            m_parser.wantsOnlyRows())
            return true;
        if (!reportProgress(m_start + m_consumed))
            break;
        const qint64 count = m_device->read(m_bytes.data() + m_carried, blockSize);
        if (count < 0) {
            m_failed = true;
            break;
        }
        const bool atEnd = count == 0;
        const QByteArrayView data(m_bytes.constData(), m_carried + count);
        const qint64 dataOffset = m_start + m_consumed - m_carried;
        m_consumed += count;
        qsizetype pos = 0;
        if (!m_decoder) {
            // A byte order mark is only recognised whole.
            if (data.size() < carryLimit && !atEnd) {
                m_carried = data.size();
                continue;
            }
            const DetectedEncoding detected = detectEncoding(data, m_chosen);
            m_encoding = detected.encoding;
            m_decoder.emplace(detected.encoding);
            m_text.resize(size_t(m_decoder->requiredSpace(carryLimit + blockSize)));
            pos = qMin(detected.byteOrderMarkLength, data.size());
        }
        // At the end, a cut-off character is decoded too: it shows as replacement characters.
        const qsizetype complete = atEnd ? data.size() : m_decoder->completeLength(data);
        feedDecoded(m_parser, *m_decoder, data.sliced(pos, complete - pos), dataOffset + pos,
                    m_text);
        if (atEnd || m_parser.stopped())
            break;
        m_carried = data.size() - complete;
        std::memmove(m_bytes.data(), m_bytes.constData() + complete, size_t(m_carried));
    }
    return false;
}

void ReadPass::readRounds()
{
    const qsizetype round = m_threads * m_pieceSize;
    while (!m_failed && !m_cancelled && !m_parser.stopped()) {
        if (m_bytes.size() < m_carried + round)
            m_bytes.resize(m_carried + round);
        const qint64 dataOffset = m_start + m_consumed - m_carried;
        qsizetype filled = m_carried;
        bool atEnd = false;
        while (filled < m_bytes.size()) {
            const qint64 count = m_device->read(m_bytes.data() + filled, m_bytes.size() - filled);
            if (count <= 0) {
                m_failed = count < 0;
                atEnd = count == 0;
                break;
            }
            filled += count;
            m_consumed += count;
        }
        const QByteArrayView data(m_bytes.constData(), filled);
        const qsizetype lines = data.lastIndexOf('\n') + 1;
        if (!parseLines(data.first(lines), dataOffset))
            break;
        QByteArrayView rest = data.sliced(lines);
        if (atEnd || m_failed || lines == 0) {
            // The rest of the file, or of what could be read, or one long line: read in order.
            // A character cut off by a failed read is left out, as it would be block by block.
            const qsizetype complete = atEnd ? rest.size() : m_decoder->completeLength(rest);
            if (!feedInOrder(rest.first(complete), dataOffset + lines) || atEnd)
                break;
            rest = rest.sliced(complete);
        }
        m_carried = rest.size();
        std::memmove(m_bytes.data(), rest.data(), size_t(m_carried));
    }
}

bool ReadPass::parseLines(QByteArrayView bytes, qint64 offset)
{
    if (bytes.size() <= m_pieceSize)
        return feedInOrder(bytes, offset);
    CsvReaderPieces pieces(m_options, m_encoding, m_threads);
    pieces.parse(bytes, m_pieceSize);
    for (int i = 0; i < pieces.count() && !m_parser.stopped(); ++i) {
        CsvParser &piece = pieces.parser(i);
        // A piece parsed on its own is the input's only where it begins and ends between
        // records (a quoted field may run over its start or end, a record may overflow).
        if (m_parser.atRecordStart() && piece.atRecordStart() && !piece.overflowed()) {
            if (!reportProgress(offset))
                return false;
            m_parser.appendRowsOf(piece);
        } else if (!feedInOrder(pieces.bytes(i), offset)) {
            return false;
        }
        offset += pieces.bytes(i).size();
    }
    return true;
}

bool ReadPass::feedInOrder(QByteArrayView bytes, qint64 offset)
{
    return feedInBlocks(m_parser, *m_decoder, bytes, m_text,
                        [this, offset](qsizetype fed) { return reportProgress(offset + fed); });
}

} // namespace

CsvReader::CsvReader(const CsvReadOptions &options)
    : m_options(options)
{ }

void CsvReader::setEncoding(std::optional<QStringConverter::Encoding> encoding)
{
    m_encoding = encoding;
}

void CsvReader::setProgressCallback(CsvProgressCallback callback)
{
    m_progress = std::move(callback);
}

void CsvReader::setPieceSize(qsizetype bytes)
{
    m_pieceSize = qMax<qsizetype>(1, bytes);
}

CsvReadResult CsvReader::read(QIODevice *device) const
{
    return ReadPass(m_options, m_encoding, m_progress, m_pieceSize).run(device);
}

} // namespace vondrel
