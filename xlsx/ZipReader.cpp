#include "ZipReader.h"

#include "ZipEntryReader.h"
#include "ZipFormat.h"

#include <QtEndian>

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

ZipReader::Status ZipReader::locate(const QString &name, qint64 maxSize, EntryData *data) const
{
    if (m_status != Status::Ok)
        return m_status;
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.constEnd())
        return Status::Missing;
    const Entry &entry = *it;
    if ((entry.flags & EncryptedFlag) || entry.size == Zip64Marker ||
        entry.compressedSize == Zip64Marker || entry.localHeaderOffset == Zip64Marker)
        return Status::Unsupported;
    if (entry.method != StoredMethod && entry.method != DeflatedMethod)
        return Status::Unsupported;
    if (entry.size > maxSize)
        return Status::TooLarge;
    if (entry.size > RatioFreeSize && entry.size / MaxCompressionRatio > entry.compressedSize)
        return Status::TooCompressed;

    const char *bytes = m_data.constData();
    const qint64 offset = entry.localHeaderOffset;
    if (offset + LocalHeaderSize > m_data.size() || read32(bytes + offset) != LocalHeaderSignature)
        return Status::Corrupt;
    const qint64 start =
        offset + LocalHeaderSize + read16(bytes + offset + 26) + read16(bytes + offset + 28);
    if (start + entry.compressedSize > m_data.size())
        return Status::Corrupt;
    if (entry.method == StoredMethod && entry.compressedSize != entry.size)
        return Status::Corrupt;
    data->method = entry.method;
    data->crc = entry.crc;
    data->size = entry.size;
    data->compressed = bytes + start;
    data->compressedSize = entry.compressedSize;
    return Status::Ok;
}

ZipReader::Status ZipReader::read(const QString &name, qint64 maxSize, QByteArray *out) const
{
    out->clear();
    ZipEntryReader reader(*this, name, maxSize);
    if (reader.status() != Status::Ok)
        return reader.status();
    out->resize(reader.size());
    qsizetype filled = 0;
    while (filled < out->size()) {
        const qsizetype piece = reader.read(out->data() + filled, out->size() - filled);
        if (piece <= 0)
            break;
        filled += piece;
    }
    // The entry is checked once the reader reports its end.
    if (filled != out->size() || reader.read(nullptr, 0) != 0) {
        out->clear();
        return reader.status() == Status::Ok ? Status::Corrupt : reader.status();
    }
    return Status::Ok;
}

} // namespace QXlsx
