#include "MappingFile.h"

#include "CsvBlockWriter.h"
#include "TimestampedFileName.h"

#include <QFileInfo>

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
    const QList<QList<MappingEntry>> pairs = m_mapping.values();
    return writer.write(1, columns,
                        [&header](qsizetype, QStringList &fields) { fields = header; }) &&
        writer.write(rows, columns, [&pairs](qsizetype row, QStringList &fields) {
            for (const QList<MappingEntry> &entries : pairs) {
                if (row < entries.size())
                    fields << entries.at(row).inputText << entries.at(row).pseudonym;
                else
                    fields << QString() << QString();
            }
        });
}
