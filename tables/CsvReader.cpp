#include "CsvReader.h"

#include "TablesLog.h"

#include <QIODevice>

#include <vector>

namespace {

constexpr qint64 blockSize = 64 * 1024;

// A decoder that can tell whether a multi-byte sequence is left unfinished at the end.
class BlockDecoder : public QStringDecoder
{
public:
    using QStringDecoder::QStringDecoder;
    bool hasPendingBytes() const { return state.remainingChars != 0; }
};

QStringConverter::Encoding encodingFor(QByteArrayView firstBytes,
                                       std::optional<QStringConverter::Encoding> chosen)
{
    if (const auto marked = QStringConverter::encodingForData(firstBytes))
        return *marked;
    return chosen.value_or(QStringConverter::Utf8);
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
    bool reachedEnd = false;
    const qint64 size = device->size();
    const qint64 start = device->isSequential() ? 0 : device->pos();
    qint64 consumed = 0;

    QByteArray bytes(blockSize, Qt::Uninitialized);
    std::vector<QChar> text;
    BlockDecoder decoder;
    bool firstBlock = true;

    while (!failed) {
        if (m_progress && !m_progress(qMin(start + consumed, size))) {
            cancelled = true;
            break;
        }
        const qint64 count = device->read(bytes.data(), blockSize);
        if (count < 0) {
            failed = true;
            break;
        }
        if (count == 0) {
            reachedEnd = true;
            break;
        }
        if (firstBlock) {
            decoder =
                BlockDecoder(encodingFor(QByteArrayView(bytes.constData(), count), m_encoding));
            text.resize(decoder.requiredSpace(blockSize) + 16);
            firstBlock = false;
        }

        const char *pos = bytes.constData();
        const char *end = pos + count;
        // Record end offsets are exact only byte by byte; they are wanted for a few records.
        while (pos < end && parser.wantsPositions() && !parser.rowLimitReached()) {
            QChar *out = decoder.appendToBuffer(text.data(), QByteArrayView(pos, 1));
            ++pos;
            parser.setStreamPosition(start + consumed + (pos - bytes.constData()));
            parser.feed(text.data(), out);
        }
        if (pos < end && !parser.rowLimitReached()) {
            QChar *out = decoder.appendToBuffer(text.data(), QByteArrayView(pos, end - pos));
            parser.feed(text.data(), out);
        }
        consumed += count;
        if (parser.rowLimitReached())
            break;
    }

    if (reachedEnd && decoder.hasPendingBytes()) {
        // A truncated character at the very end is shown, not silently dropped.
        const QChar replacement = QChar::ReplacementCharacter;
        parser.feed(&replacement, &replacement + 1);
    }
    parser.setStreamPosition(start + consumed);
    parser.finish();

    if (device->isOpen())
        device->close();

    CsvReadResult result = parser.takeResult();
    result.cancelled = cancelled;
    result.failed = failed;
    if (failed)
        qCWarning(lcTables) << "CSV read failed after" << consumed
                            << "bytes:" << device->errorString();
    else if (cancelled)
        qCInfo(lcTables) << "CSV read cancelled after" << consumed << "bytes";
    return result;
}
