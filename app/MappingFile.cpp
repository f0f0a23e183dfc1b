#include "MappingFile.h"

#include "CsvRecordWriter.h"
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
                        std::optional<QStringConverter::Encoding> encoding) const
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
    CsvRecordWriter writer(device, separator, quoteMode, encoding);
    if (!writer.open())
        return false;
    writer.writeRecord(header, columns);
    QStringList record;
    record.reserve(columns);
    for (qsizetype row = 0; row < rows; ++row) {
        record.clear();
        for (const QList<MappingEntry> &entries : m_mapping) {
            if (row < entries.size())
                record << entries.at(row).inputText << entries.at(row).pseudonym;
            else
                record << QString() << QString();
        }
        writer.writeRecord(record, columns);
    }
    return writer.close();
}
