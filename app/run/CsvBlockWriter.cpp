#include "CsvBlockWriter.h"

#include "CsvRecordWriter.h"
#include "ParallelFor.h"

#include <tables/WorkPulse.h>

#include <QBuffer>

#include <vector>

namespace {

constexpr qsizetype recordsPerBlock = 4096;
// Blocks encoded before they are written: enough to keep every thread busy, few enough to
// keep the encoded bytes small.
constexpr int blocksPerThread = 4;

} // namespace

CsvBlockWriter::CsvBlockWriter(QIODevice *device, QChar separator, int quoteMode,
                               std::optional<QStringConverter::Encoding> encoding, int threads)
    : m_device(device)
    , m_separator(separator)
    , m_quoteMode(quoteMode)
    , m_encoding(encoding)
    , m_threads(threads)
    , m_blocksPerRound(
          threadCount(threads) == 1 ? 1 : qsizetype(blocksPerThread) * threadCount(threads))
{ }

qsizetype CsvBlockWriter::recordsPerRound() const
{
    return recordsPerBlock * m_blocksPerRound;
}

bool CsvBlockWriter::write(qsizetype count, const RecordSource &record)
{
    if (!m_device)
        m_failed = true;
    const qsizetype blocks = (count + recordsPerBlock - 1) / recordsPerBlock;
    std::vector<QByteArray> encoded(static_cast<size_t>(m_blocksPerRound));
    std::vector<char> encodedOk(static_cast<size_t>(m_blocksPerRound), 0);
    for (qsizetype round = 0; round < blocks && !m_failed; round += m_blocksPerRound) {
        const qsizetype roundBlocks = qMin(m_blocksPerRound, blocks - round);
        const auto encodeBlocks = [&](qsizetype begin, qsizetype end) {
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
                for (qsizetype i = first; opened && i < last; ++i)
                    record(i, writer);
                encodedOk[size_t(block)] = writer.close() && opened;
            }
        };
        parallelFor(roundBlocks, m_threads, encodeBlocks, 1);
        for (qsizetype block = 0; block < roundBlocks && !m_failed; ++block) {
            const QByteArray &bytes = encoded[size_t(block)];
            m_failed = !encodedOk[size_t(block)] || m_device->write(bytes) != bytes.size();
        }
        vondrel::WorkPulse::pulse();
    }
    return !m_failed;
}
