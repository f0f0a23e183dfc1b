#include "MappingFile.h"

#include "CsvBlockWriter.h"
#include "TimestampedFileName.h"

#include <QFileInfo>

namespace {

constexpr qsizetype blockRows = 65536;

} // namespace

QString MappingFile::pathFor(const QString &exportFileName, const QDateTime &at)
{
    return timestampedFileName(QStringLiteral("vondrel_map"), QStringLiteral("csv"),
                               QFileInfo(exportFileName).absolutePath(), at);
}

MappingFile::MappingFile(const QMap<int, QList<MappingEntry>> &mapping, const QStringList &captions)
    : m_mapping(mapping)
    , m_captions(captions)
{ }

bool MappingFile::write(QIODevice *device, QChar separator, int quoteMode,
                        std::optional<QStringConverter::Encoding> encoding, int threads) const
{
    qsizetype rows = 0;
    QStringList header;
    for (auto it = m_mapping.cbegin(); it != m_mapping.cend(); ++it) {
        const QString caption = m_captions.value(it.key());
        header << caption << caption + tr("[neu]");
        rows = qMax(rows, it->size());
    }
    // Like a table without rows: not even a header line.
    if (rows == 0)
        return true;

    const auto columns = int(header.size());
    CsvBlockWriter writer(device, separator, quoteMode, encoding, threads);
    if (!writer.write({header}, columns))
        return false;
    QList<QStringList> block;
    for (qsizetype first = 0; first < rows; first += blockRows) {
        block.clear();
        for (qsizetype row = first; row < qMin(rows, first + blockRows); ++row) {
            QStringList &record = block.emplace_back();
            record.reserve(columns);
            for (const QList<MappingEntry> &entries : m_mapping) {
                if (row < entries.size())
                    record << entries.at(row).inputText << entries.at(row).pseudonym;
                else
                    record << QString() << QString();
            }
        }
        if (!writer.write(block, columns))
            return false;
    }
    return true;
}
