#include "ZipReader.h"

#include "ZipFormat.h"

#include <QtEndian>

#include <zlib.h>

namespace QXlsx {

using namespace ZipFormat;

namespace {

constexpr qsizetype MaxCommentSize = 0xFFFF;

quint16 read16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 read32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

} // namespace

ZipReader::ZipReader(const QByteArray &data)
    : m_data(data)
{
    m_status = readDirectory();
}

ZipReader::Status ZipReader::status() const
{
    return m_status;
}

ZipReader::Status ZipReader::readDirectory()
{
    const char *data = m_data.constData();
    const qsizetype size = m_data.size();
    qsizetype end = size - EndOfDirectorySize;
    const qsizetype lowest = qMax<qsizetype>(0, end - MaxCommentSize);
    while (end >= lowest && read32(data + end) != EndOfDirectorySignature)
        --end;
    if (end < lowest) // a local header at the start means an archive that was cut off
        return m_data.startsWith(QByteArrayView("PK\x03\x04", 4)) ? Status::Corrupt
                                                                  : Status::NotZip;

    const char *eocd = data + end;
    const quint16 entryCount = read16(eocd + 10);
    const qint64 directorySize = read32(eocd + 12);
    const qint64 directoryOffset = read32(eocd + 16);
    if (read16(eocd + 4) != 0 || read16(eocd + 6) != 0)
        return Status::Unsupported; // split over several files
    if (entryCount == 0xFFFF || directoryOffset == Zip64Marker)
        return Status::Unsupported;
    if (directoryOffset + directorySize > end)
        return Status::Corrupt;

    qsizetype pos = directoryOffset;
    for (int i = 0; i < entryCount; ++i) {
        if (pos + DirectoryEntrySize > end || read32(data + pos) != DirectoryEntrySignature)
            return Status::Corrupt;
        const char *header = data + pos;
        const qsizetype nameLength = read16(header + 28);
        const qsizetype variableLength = nameLength + read16(header + 30) + read16(header + 32);
        if (pos + DirectoryEntrySize + variableLength > end)
            return Status::Corrupt;
        Entry entry;
        entry.flags = read16(header + 8);
        entry.method = read16(header + 10);
        entry.crc = read32(header + 16);
        entry.compressedSize = read32(header + 20);
        entry.size = read32(header + 24);
        entry.localHeaderOffset = read32(header + 42);
        const QString name = QString::fromUtf8(header + DirectoryEntrySize, nameLength).toLower();
        m_entries.insert(name, entry);
        pos += DirectoryEntrySize + variableLength;
    }
    return Status::Ok;
}

bool ZipReader::contains(const QString &name) const
{
    return m_entries.contains(name.toLower());
}

ZipReader::Status ZipReader::read(const QString &name, qint64 maxSize, QByteArray *out) const
{
    out->clear();
    if (m_status != Status::Ok)
        return m_status;
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.constEnd())
        return Status::Missing;
    const Entry &entry = *it;
    if ((entry.flags & EncryptedFlag) || entry.size == Zip64Marker ||
        entry.compressedSize == Zip64Marker || entry.localHeaderOffset == Zip64Marker)
        return Status::Unsupported;
    if (entry.size > maxSize)
        return Status::TooLarge;

    const char *data = m_data.constData();
    const qint64 offset = entry.localHeaderOffset;
    if (offset + LocalHeaderSize > m_data.size() || read32(data + offset) != LocalHeaderSignature)
        return Status::Corrupt;
    const qint64 start =
        offset + LocalHeaderSize + read16(data + offset + 26) + read16(data + offset + 28);
    if (start + entry.compressedSize > m_data.size())
        return Status::Corrupt;

    Status status = Status::Unsupported;
    if (entry.method == StoredMethod) {
        if (entry.compressedSize != entry.size)
            return Status::Corrupt;
        *out = m_data.mid(start, entry.size);
        status = Status::Ok;
    } else if (entry.method == DeflatedMethod) {
        status = inflate(entry, data + start, out);
    }
    if (status == Status::Ok &&
        crc32(0, reinterpret_cast<const Bytef *>(out->constData()), uInt(out->size())) != entry.crc)
        status = Status::Corrupt;
    if (status != Status::Ok)
        out->clear();
    return status;
}

ZipReader::Status ZipReader::inflate(const Entry &entry, const char *compressed,
                                     QByteArray *out) const
{
    // One spare byte: output that reaches it is longer than the entry declared.
    out->resize(entry.size + 1);
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return Status::Corrupt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed));
    stream.avail_in = uInt(entry.compressedSize);
    stream.next_out = reinterpret_cast<Bytef *>(out->data());
    stream.avail_out = uInt(out->size());
    const int result = ::inflate(&stream, Z_FINISH);
    const qint64 produced = qint64(stream.total_out);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != entry.size)
        return Status::Corrupt;
    out->resize(entry.size);
    return Status::Ok;
}

} // namespace QXlsx
