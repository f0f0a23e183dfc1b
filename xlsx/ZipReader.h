#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace QXlsx {

// Reads the entries of a ZIP archive held in memory. Every entry is inflated into at most its
// declared size and refused the moment it would grow beyond it, so a damaged or hostile archive
// (a "zip bomb" with a small declared size) can never take more memory than the caller allows.
// Entry names compare case-insensitively, as package part names do.
class ZipReader
{
public:
    enum class Status {
        Ok,
        NotZip, // no ZIP directory at all
        Corrupt, // truncated or damaged
        Unsupported, // encryption, ZIP64, unknown compression
        TooLarge, // an entry larger than the caller's limit
        TooCompressed, // a large entry packed far tighter than any real document
        Missing, // no entry of that name
    };

    // Entries up to this size may be packed as tightly as they like; beyond it an entry must
    // not inflate to more than MaxCompressionRatio times its packed size. Spreadsheet XML packs
    // about 10:1; a ratio far above that is a file built to exhaust memory.
    static constexpr qint64 RatioFreeSize = qint64(8) << 20;
    static constexpr qint64 MaxCompressionRatio = 100;

    // Where an entry's data lies and what it must inflate to.
    struct EntryData
    {
        quint16 method = 0;
        quint32 crc = 0;
        qint64 size = 0;
        const char *compressed = nullptr;
        qint64 compressedSize = 0;
    };

    explicit ZipReader(const QByteArray &data);

    // Whether the archive's directory could be read.
    Status status() const;
    bool contains(const QString &name) const;
    // Reads an entry of at most maxSize bytes into out.
    Status read(const QString &name, qint64 maxSize, QByteArray *out) const;
    // Checks an entry of at most maxSize bytes and tells where its data lies; see ZipEntryReader.
    Status locate(const QString &name, qint64 maxSize, EntryData *data) const;

private:
    struct Entry
    {
        quint16 flags = 0;
        quint16 method = 0;
        quint32 crc = 0;
        qint64 compressedSize = 0;
        qint64 size = 0;
        qint64 localHeaderOffset = 0;
    };

    Status readDirectory();

    QByteArray m_data;
    QHash<QString, Entry> m_entries; // by lower-case name
    Status m_status = Status::NotZip;
};

} // namespace QXlsx
