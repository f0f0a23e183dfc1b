#include "CsvBlockWriter.h"

#include "CsvRecordWriter.h"
#include "ParallelFor.h"

#include <QBuffer>

#include <vector>

namespace {

constexpr qsizetype recordsPerBlock = 4096;

} // namespace

CsvBlockWriter::CsvBlockWriter(QIODevice *device, QChar separator, int quoteMode,
                               std::optional<QStringConverter::Encoding> encoding, int threads)
    : m_device(device)
    , m_separator(separator)
    , m_quoteMode(quoteMode)
    , m_encoding(encoding)
    , m_threads(threads)
{ }

bool CsvBlockWriter::write(const QList<QStringList> &records, int columnCount)
{
    if (m_failed || !m_device)
        return false;
    const qsizetype blocks = (records.size() + recordsPerBlock - 1) / recordsPerBlock;
    std::vector<QByteArray> encoded(static_cast<size_t>(blocks));
    std::vector<char> encodedOk(size_t(blocks), 0);
    parallelFor(
        blocks, m_threads,
        [&](qsizetype begin, qsizetype end) {
            for (qsizetype block = begin; block < end; ++block) {
                // Each block its own encoder: a record never spans two blocks, and the
                // encodings written here keep no state from one record to the next.
                QBuffer buffer(&encoded[size_t(block)]);
                CsvRecordWriter writer(&buffer, m_separator, m_quoteMode, m_encoding);
                const qsizetype first = block * recordsPerBlock;
                const qsizetype last = qMin(records.size(), first + recordsPerBlock);
                bool ok = writer.open();
                for (qsizetype i = first; ok && i < last; ++i)
                    writer.writeRecord(records.at(i), columnCount);
                encodedOk[size_t(block)] = writer.close() && ok;
            }
        },
        1);
    for (size_t block = 0; block < encoded.size() && !m_failed; ++block) {
        const QByteArray &bytes = encoded[block];
        m_failed = !encodedOk[block] || m_device->write(bytes) != bytes.size();
    }
    return !m_failed;
}
