#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace QXlsx {

// Reads the entries of a ZIP archive held in memory. Every entry is inflated into a buffer of
// its declared size and refused the moment it would grow beyond that size, so a damaged or
// hostile archive (a "zip bomb" with a small declared size) can never take more memory than
// the caller allows. Entry names compare case-insensitively, as package part names do.
class ZipReader
{
public:
    enum class Status {
        Ok,
        NotZip, // no ZIP directory at all
        Corrupt, // truncated or damaged
        Unsupported, // encryption, ZIP64, unknown compression
        TooLarge, // an entry larger than the caller's limit
        Missing, // no entry of that name
    };

    explicit ZipReader(const QByteArray &data);

    // Whether the archive's directory could be read.
    Status status() const;
    bool contains(const QString &name) const;
    // Reads an entry of at most maxSize bytes into out.
    Status read(const QString &name, qint64 maxSize, QByteArray *out) const;

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
    Status inflate(const Entry &entry, const char *compressed, QByteArray *out) const;

    QByteArray m_data;
    QHash<QString, Entry> m_entries; // by lower-case name
    Status m_status = Status::NotZip;
};

} // namespace QXlsx
