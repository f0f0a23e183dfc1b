#include "CsvReader.h"

#include "TablesLog.h"
#include "TextBlockDecoder.h"

#include <QIODevice>

#include <cstring>
#include <vector>

namespace vondrel {

namespace {

constexpr qsizetype blockSize = 64 * 1024;
// An unfinished character carried over to the next block is at most this long.
constexpr qsizetype carryLimit = 4;

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

CsvReadResult CsvReader::read(QIODevice *device) const
{
    CsvParser parser(m_options);
    if (!device) {
        CsvReadResult result = parser.takeResult();
        result.failed = true;
        return result;
    }
    if (!device->isOpen())
        device->open(QIODevice::ReadOnly);

    bool failed = !device->isReadable();
    bool cancelled = false;
    const qint64 size = device->size();
    const qint64 start = device->isSequential() ? 0 : device->pos();
    qint64 consumed = 0;

    // bytes = the unfinished character of the last block, then the new block.
    QByteArray bytes(carryLimit + blockSize, Qt::Uninitialized);
    qsizetype carried = 0;
    std::optional<TextBlockDecoder> decoder;
    std::vector<QChar> text;

    while (!failed) {
        if (m_progress && !m_progress(qMin(start + consumed, size))) {
            cancelled = true;
            break;
        }
        const qint64 count = device->read(bytes.data() + carried, blockSize);
        if (count < 0) {
            failed = true;
            break;
        }
        const bool atEnd = count == 0;
        const QByteArrayView data(bytes.constData(), carried + count);
        const qint64 dataOffset = start + consumed - carried;
        consumed += count;
        qsizetype pos = 0;
        if (!decoder) {
            // A byte order mark is only recognised whole.
            if (data.size() < carryLimit && !atEnd) {
                carried = data.size();
                continue;
            }
            const DetectedEncoding detected = detectEncoding(data, m_encoding);
            decoder.emplace(detected.encoding);
            text.resize(decoder->requiredSpace(carryLimit + blockSize));
            pos = qMin(detected.byteOrderMarkLength, data.size());
        }
        // At the end, a cut-off character is decoded too: it shows as replacement characters.
        const qsizetype complete = atEnd ? data.size() : decoder->completeLength(data);
        feedDecoded(parser, *decoder, data.sliced(pos, complete - pos), dataOffset + pos, text);
        if (atEnd || parser.stopped())
            break;
        carried = data.size() - complete;
        std::memmove(bytes.data(), bytes.constData() + complete, size_t(carried));
    }

    parser.setStreamPosition(start + consumed);
    parser.finish();

    if (device->isOpen())
        device->close();

    failed = failed || parser.overflowed();
    CsvReadResult result = parser.takeResult();
    result.cancelled = cancelled;
    result.failed = failed;
    if (parser.overflowed())
        qCWarning(lcTables) << "CSV read stopped after" << consumed
                            << "bytes: a record is too long to hold";
    else if (failed)
        qCWarning(lcTables) << "CSV read failed after" << consumed
                            << "bytes:" << device->errorString();
    else if (cancelled)
        qCInfo(lcTables) << "CSV read cancelled after" << consumed << "bytes";
    return result;
}

} // namespace vondrel
