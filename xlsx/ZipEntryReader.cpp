#include "ZipEntryReader.h"

#include "ZipFormat.h"

#include <zlib.h>

#include <cstring>

namespace QXlsx {

using Status = ZipReader::Status;

namespace {
// zlib counts in unsigned int; larger requests are served in several calls.
constexpr qsizetype MaxPiece = qsizetype(1) << 30;
} // namespace

struct ZipEntryReader::Inflater
{
    z_stream stream = {};
    bool ended = false;
};

ZipEntryReader::ZipEntryReader(const ZipReader &zip, const QString &name, qint64 maxSize)
    : m_status(zip.locate(name, maxSize, &m_entry))
{
    if (m_status != Status::Ok || m_entry.method != ZipFormat::DeflatedMethod)
        return;
    m_inflater = std::make_unique<Inflater>();
    if (inflateInit2(&m_inflater->stream, -MAX_WBITS) != Z_OK) {
        m_inflater.reset();
        m_status = Status::Corrupt;
        return;
    }
    m_inflater->stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(m_entry.compressed));
    m_inflater->stream.avail_in = uInt(m_entry.compressedSize);
}

ZipEntryReader::~ZipEntryReader()
{
    if (m_inflater)
        inflateEnd(&m_inflater->stream);
}

ZipReader::Status ZipEntryReader::status() const
{
    return m_status;
}

qint64 ZipEntryReader::size() const
{
    return m_entry.size;
}

qsizetype ZipEntryReader::fail(Status status)
{
    m_status = status;
    return -1;
}

qsizetype ZipEntryReader::read(char *buffer, qsizetype capacity)
{
    if (m_status != Status::Ok)
        return -1;
    if (m_finished)
        return 0;
    if (m_produced == m_entry.size)
        return finish() ? 0 : -1;

    const qsizetype wanted =
        qsizetype(qMin<qint64>(qMin(capacity, MaxPiece), m_entry.size - m_produced));
    if (wanted <= 0)
        return 0;
    qsizetype produced = wanted;
    if (!m_inflater) {
        std::memcpy(buffer, m_entry.compressed + m_produced, size_t(wanted));
    } else {
        z_stream &stream = m_inflater->stream;
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = uInt(wanted);
        const int result = ::inflate(&stream, Z_NO_FLUSH);
        produced = wanted - qsizetype(stream.avail_out);
        if (result == Z_STREAM_END)
            m_inflater->ended = true;
        else if (result != Z_OK || produced == 0)
            return fail(Status::Corrupt); // damaged data, or data that ends too early
        if (m_inflater->ended && m_produced + produced != m_entry.size)
            return fail(Status::Corrupt);
    }
    m_crc = quint32(crc32(m_crc, reinterpret_cast<const Bytef *>(buffer), uInt(produced)));
    m_produced += produced;
    return produced;
}

bool ZipEntryReader::finish()
{
    if (m_inflater && !m_inflater->ended) {
        // The declared size is reached: the data must end here, not go on.
        char spare = 0;
        z_stream &stream = m_inflater->stream;
        stream.next_out = reinterpret_cast<Bytef *>(&spare);
        stream.avail_out = 1;
        if (::inflate(&stream, Z_NO_FLUSH) != Z_STREAM_END || stream.avail_out != 1) {
            m_status = Status::Corrupt;
            return false;
        }
    }
    if (m_crc != m_entry.crc) {
        m_status = Status::Corrupt;
        return false;
    }
    m_finished = true;
    return true;
}

} // namespace QXlsx
