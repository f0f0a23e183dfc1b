#include "CsvBlockWriter.h"

#include "CsvRecordWriter.h"
#include "ParallelFor.h"

#include <QBuffer>

#include <vector>

namespace {

constexpr qsizetype recordsPerBlock = 4096;
// Blocks encoded before they are written: enough to keep every thread busy, few enough to
// keep the encoded bytes small.
constexpr qsizetype blocksPerRound = 64;

} // namespace

CsvBlockWriter::CsvBlockWriter(QIODevice *device, QChar separator, int quoteMode,
                               std::optional<QStringConverter::Encoding> encoding, int threads)
    : m_device(device)
    , m_separator(separator)
    , m_quoteMode(quoteMode)
    , m_encoding(encoding)
    , m_threads(threads)
{ }

bool CsvBlockWriter::write(qsizetype count, int columnCount, const RecordSource &record)
{
    if (!m_device)
        m_failed = true;
    const qsizetype blocks = (count + recordsPerBlock - 1) / recordsPerBlock;
    std::vector<QByteArray> encoded(static_cast<size_t>(blocksPerRound));
    std::vector<char> encodedOk(static_cast<size_t>(blocksPerRound), 0);
    for (qsizetype round = 0; round < blocks && !m_failed; round += blocksPerRound) {
        const qsizetype roundBlocks = qMin(blocksPerRound, blocks - round);
        const auto encodeBlocks = [&](qsizetype begin, qsizetype end) {
            QStringList fields;
            for (qsizetype block = begin; block < end; ++block) {
                // Each block its own encoder: a record never spans two blocks, and the
                // encodings written here keep no state from one record to the next.
                QByteArray &bytes = encoded[size_t(block)];
                bytes.clear();
                QBuffer buffer(&bytes);
                CsvRecordWriter writer(&buffer, m_separator, m_quoteMode, m_encoding);
                const qsizetype first = (round + block) * recordsPerBlock;
                const qsizetype last = qMin(count, first + recordsPerBlock);
                const bool opened = writer.open();
                for (qsizetype i = first; opened && i < last; ++i) {
                    fields.clear();
                    record(i, fields);
                    writer.writeRecord(fields, columnCount);
                }
                encodedOk[size_t(block)] = writer.close() && opened;
            }
        };
        parallelFor(roundBlocks, m_threads, encodeBlocks, 1);
        for (qsizetype block = 0; block < roundBlocks && !m_failed; ++block) {
            const QByteArray &bytes = encoded[size_t(block)];
            m_failed = !encodedOk[size_t(block)] || m_device->write(bytes) != bytes.size();
        }
    }
    return !m_failed;
}
