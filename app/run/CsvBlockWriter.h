#pragma once

#include <QChar>
#include <QStringConverter>

#include <functional>
#include <optional>

class CsvRecordWriter;
class QIODevice;

// Writes many CSV records at once: blocks of records are made and encoded on several threads
// and written in order, so the bytes are exactly those one record writer would write.
class CsvBlockWriter
{
public:
    // Writes the record at index, its end included; called from several threads at once, so
    // it may only read shared data.
    using RecordSource = std::function<void(qsizetype index, CsvRecordWriter &writer)>;

    CsvBlockWriter(QIODevice *device, QChar separator, int quoteMode,
                   std::optional<QStringConverter::Encoding> encoding, int threads);

    // The records one round of threads encodes; a caller that fetches its records in
    // slices does best with slices of this many.
    qsizetype recordsPerRound() const;

    // Writes records 0 to count - 1 after those written before. False once any write failed.
    bool write(qsizetype count, const RecordSource &record);

private:
    QIODevice *m_device;
    const QChar m_separator;
    const int m_quoteMode;
    const std::optional<QStringConverter::Encoding> m_encoding;
    const int m_threads;
    const qsizetype m_blocksPerRound;
    bool m_failed = false;
};
