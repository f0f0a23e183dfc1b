#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>

namespace QXlsx {

// Builds a ZIP archive in memory. Entries are deflated at a fast level: a saved sheet shrinks
// to a fifth of its XML at a sixth of the time the default level takes. An entry can be
// written in pieces, so a large part never has to exist uncompressed as a whole.
class ZipWriter
{
public:
    ZipWriter();
    ~ZipWriter();
    Q_DISABLE_COPY_MOVE(ZipWriter)

    // Adds a whole entry.
    bool addFile(const QString &name, const QByteArray &data);

    // Adds an entry piece by piece: begin, any number of writes, end.
    bool beginFile(const QString &name);
    bool write(QByteArrayView data);
    bool endFile();

    // The archive with its central directory; the writer is empty afterwards.
    QByteArray finish();

    // Each function returns false once the archive would outgrow a plain (non-ZIP64) ZIP
    // file, or compression fails; the archive is unusable then.

private:
    struct Entry
    {
        QByteArray name;
        quint32 crc = 0;
        quint32 compressedSize = 0;
        quint32 size = 0;
        quint32 offset = 0;
    };
    struct Deflater;

    bool deflateInto(QByteArrayView data, bool finish);

    QByteArray m_archive;
    QList<Entry> m_entries;
    std::unique_ptr<Deflater> m_deflater; // set while an entry is open
};

} // namespace QXlsx
