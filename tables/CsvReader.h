#pragma once

#include "CsvParser.h"

#include <QStringConverter>

#include <functional>
#include <optional>

class QIODevice;

namespace vondrel {

// Told how many bytes of the device have been read; returns false to cancel the read.
using CsvProgressCallback = std::function<bool(qint64 bytesRead)>;

// Reads CSV text from a device: decodes it in blocks and runs the parser over them.
// A byte order mark at the start selects its Unicode encoding and is skipped; otherwise
// the given encoding applies, UTF-8 without one. Large UTF-8 and Latin-1 input is parsed
// in pieces on several threads once only rows are wanted; the result is the same.
class CsvReader
{
public:
    explicit CsvReader(const CsvReadOptions &options);

    void setEncoding(std::optional<QStringConverter::Encoding> encoding);
    // Called before every block (or piece read in parallel), so also while one long quoted
    // field is being read.
    void setProgressCallback(CsvProgressCallback callback);

    // Bytes a thread parses at a time when reading in parallel; tests make it small to put
    // many piece boundaries into short input.
    void setPieceSize(qsizetype bytes);

    // Opens the device read-only when it is not open, and closes it afterwards.
    CsvReadResult read(QIODevice *device) const;

private:
    CsvReadOptions m_options;
    std::optional<QStringConverter::Encoding> m_encoding;
    CsvProgressCallback m_progress;
    qsizetype m_pieceSize = 1024 * 1024;
};

} // namespace vondrel
