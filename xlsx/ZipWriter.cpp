#include "ZipWriter.h"

#include "ZipFormat.h"

#include <QtEndian>

#include <zlib.h>

#include <utility>

namespace QXlsx {

using namespace ZipFormat;

namespace {

constexpr qsizetype LocalCrcOffset = 14; // crc, compressed size and size follow each other
constexpr quint16 VersionNeeded = 20;
// 1 January 1980, the first date ZIP can hold: the same content gives the same archive.
constexpr quint16 DosTime = 0;
constexpr quint16 DosDate = (1 << 5) | 1;
constexpr int CompressionLevel = 2;
constexpr qint64 MaxSize = 0xFFFFFFFE;
constexpr qsizetype MaxEntries = 0xFFFE;
constexpr qsizetype OutputStep = 256 * 1024;

void append16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void append32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

struct ZipWriter::Deflater
{
    z_stream stream = {};
    qint64 size = 0;
    quint32 crc = 0;
};

ZipWriter::ZipWriter() = default;

ZipWriter::~ZipWriter()
{
    if (m_deflater)
        deflateEnd(&m_deflater->stream);
}

bool ZipWriter::addFile(const QString &name, const QByteArray &data)
{
    return beginFile(name) && write(data) && endFile();
}

bool ZipWriter::beginFile(const QString &name)
{
    if (m_deflater || m_entries.size() >= MaxEntries || m_archive.size() > MaxSize)
        return false;
    m_deflater = std::make_unique<Deflater>();
    if (deflateInit2(&m_deflater->stream, CompressionLevel, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        m_deflater.reset();
        return false;
    }
    Entry entry;
    entry.name = name.toUtf8();
    entry.offset = quint32(m_archive.size());
    m_entries.append(entry);

    append32(m_archive, LocalHeaderSignature);
    append16(m_archive, VersionNeeded);
    append16(m_archive, Utf8NamesFlag);
    append16(m_archive, DeflatedMethod);
    append16(m_archive, DosTime);
    append16(m_archive, DosDate);
    append32(m_archive, 0); // crc and sizes, filled in by endFile()
    append32(m_archive, 0);
    append32(m_archive, 0);
    append16(m_archive, quint16(entry.name.size()));
    append16(m_archive, 0); // extra field
    m_archive.append(entry.name);
    return true;
}

bool ZipWriter::write(QByteArrayView data)
{
    if (!m_deflater)
        return false;
    if (data.isEmpty())
        return true; // zlib's crc32 restarts on an empty buffer
    m_deflater->size += data.size();
    m_deflater->crc = quint32(
        crc32(m_deflater->crc, reinterpret_cast<const Bytef *>(data.data()), uInt(data.size())));
    return m_deflater->size <= MaxSize && deflateInto(data, false);
}

bool ZipWriter::endFile()
{
    if (!m_deflater || !deflateInto({}, true))
        return false;
    Entry &entry = m_entries.last();
    entry.crc = m_deflater->crc;
    entry.size = quint32(m_deflater->size);
    entry.compressedSize = quint32(m_deflater->stream.total_out);
    deflateEnd(&m_deflater->stream);
    m_deflater.reset();
    char *header = m_archive.data() + entry.offset + LocalCrcOffset;
    qToLittleEndian(entry.crc, header);
    qToLittleEndian(entry.compressedSize, header + 4);
    qToLittleEndian(entry.size, header + 8);
    return m_archive.size() <= MaxSize;
}

bool ZipWriter::deflateInto(QByteArrayView data, bool finish)
{
    z_stream &stream = m_deflater->stream;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    stream.avail_in = uInt(data.size());
    int result = Z_OK;
    do {
        const qsizetype used = m_archive.size();
        m_archive.resize(used + OutputStep);
        stream.next_out = reinterpret_cast<Bytef *>(m_archive.data() + used);
        stream.avail_out = uInt(OutputStep);
        result = deflate(&stream, finish ? Z_FINISH : Z_NO_FLUSH);
        m_archive.resize(m_archive.size() - qsizetype(stream.avail_out));
        if (result == Z_STREAM_ERROR || m_archive.size() > MaxSize)
            return false;
    } while (stream.avail_in > 0 || (finish && result != Z_STREAM_END));
    return true;
}

QByteArray ZipWriter::finish()
{
    const quint32 directoryOffset = quint32(m_archive.size());
    for (const Entry &entry : std::as_const(m_entries)) {
        append32(m_archive, DirectoryEntrySignature);
        append16(m_archive, VersionNeeded); // made by
        append16(m_archive, VersionNeeded);
        append16(m_archive, Utf8NamesFlag);
        append16(m_archive, DeflatedMethod);
        append16(m_archive, DosTime);
        append16(m_archive, DosDate);
        append32(m_archive, entry.crc);
        append32(m_archive, entry.compressedSize);
        append32(m_archive, entry.size);
        append16(m_archive, quint16(entry.name.size()));
        append16(m_archive, 0); // extra field
        append16(m_archive, 0); // comment
        append16(m_archive, 0); // disk
        append16(m_archive, 0); // internal attributes
        append32(m_archive, 0); // external attributes
        append32(m_archive, entry.offset);
        m_archive.append(entry.name);
    }
    const quint32 directorySize = quint32(m_archive.size()) - directoryOffset;
    append32(m_archive, EndOfDirectorySignature);
    append16(m_archive, 0); // this disk
    append16(m_archive, 0); // disk of the directory
    append16(m_archive, quint16(m_entries.size()));
    append16(m_archive, quint16(m_entries.size()));
    append32(m_archive, directorySize);
    append32(m_archive, directoryOffset);
    append16(m_archive, 0); // comment
    m_entries.clear();
    return std::exchange(m_archive, {});
}

} // namespace QXlsx
