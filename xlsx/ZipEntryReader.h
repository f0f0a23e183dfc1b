#pragma once

#include "ZipReader.h"

#include <memory>

namespace QXlsx {

// Inflates one entry of a ZipReader piece by piece, so that a large part never has to exist
// unpacked as a whole. The entry's size and checksum are checked by the time the last piece is
// handed out: a reader that reached the end without an error has read the entry exactly.
class ZipEntryReader
{
public:
    ZipEntryReader(const ZipReader &zip, const QString &name, qint64 maxSize);
    ~ZipEntryReader();
    Q_DISABLE_COPY_MOVE(ZipEntryReader)

    // Ok until something went wrong.
    ZipReader::Status status() const;
    // The size the entry inflates to.
    qint64 size() const;
    // Fills up to capacity bytes; 0 once the whole entry has been read and checked, -1 on a
    // failure (status() tells which).
    qsizetype read(char *buffer, qsizetype capacity);

private:
    struct Inflater;

    qsizetype fail(ZipReader::Status status);
    bool finish();

    ZipReader::EntryData m_entry;
    ZipReader::Status m_status;
    std::unique_ptr<Inflater> m_inflater; // for a deflated entry
    qint64 m_produced = 0;
    quint32 m_crc = 0;
    bool m_finished = false;
};

} // namespace QXlsx
