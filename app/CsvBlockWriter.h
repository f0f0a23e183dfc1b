#pragma once

#include <QChar>
#include <QStringConverter>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

// Writes many CSV records at once: blocks of records are made and encoded on several threads
// and written in order, so the bytes are exactly those one record writer would write.
class CsvBlockWriter
{
public:
    // Fills fields (empty when called) with the record at index; called from several threads
    // at once, so it may only read shared data.
    using RecordSource = std::function<void(qsizetype index, QStringList &fields)>;

    CsvBlockWriter(QIODevice *device, QChar separator, int quoteMode,
                   std::optional<QStringConverter::Encoding> encoding, int threads);

    // Writes records 0 to count - 1 (the first columnCount fields of each) after those
    // written before. False once any write failed.
    bool write(qsizetype count, int columnCount, const RecordSource &record);

private:
    QIODevice *m_device;
    const QChar m_separator;
    const int m_quoteMode;
    const std::optional<QStringConverter::Encoding> m_encoding;
    const int m_threads;
    bool m_failed = false;
};
