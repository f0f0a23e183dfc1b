#include "MappingFile.h"

#include "CsvBlockWriter.h"
#include "CsvRecordWriter.h"
#include "TimestampedFileName.h"

#include <QFileInfo>

#include <vector>

QString MappingFile::pathFor(const QString &exportFileName, const QDateTime &at)
{
    return timestampedFileName(QStringLiteral("vondrel_map"), QStringLiteral("csv"),
                               QFileInfo(exportFileName).absolutePath(), at);
}

MappingFile::MappingFile(const QMap<int, MappingColumn> &mapping, const QStringList &captions)
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
    std::vector<const MappingColumn *> pairs;
    for (const MappingColumn &column : m_mapping)
        pairs.push_back(&column);
    return writer.write(1,
                        [&header, columns](qsizetype, CsvRecordWriter &record) {
                            record.writeRecord(header, columns);
                        }) &&
        writer.write(rows, [&pairs](qsizetype row, CsvRecordWriter &record) {
            for (const MappingColumn *column : pairs) {
                const bool has = row < column->size();
                record.writeField(has ? column->inputText(row) : QStringView());
                record.writeField(has ? column->pseudonym(row) : QStringView());
            }
            record.endRecord();
        });
}
