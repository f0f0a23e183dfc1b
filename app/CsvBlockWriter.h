#pragma once

#include <QChar>
#include <QList>
#include <QStringConverter>
#include <QStringList>

#include <optional>

class QIODevice;

// Writes many CSV records at once: blocks of records are encoded on several threads and
// written in order, so the bytes are exactly those one record writer would write.
class CsvBlockWriter
{
public:
    CsvBlockWriter(QIODevice *device, QChar separator, int quoteMode,
                   std::optional<QStringConverter::Encoding> encoding, int threads);

    // Writes the records (the first columnCount fields of each) after those written before.
    // False once any write failed.
    bool write(const QList<QStringList> &records, int columnCount);

private:
    QIODevice *m_device;
    const QChar m_separator;
    const int m_quoteMode;
    const std::optional<QStringConverter::Encoding> m_encoding;
    const int m_threads;
    bool m_failed = false;
};
