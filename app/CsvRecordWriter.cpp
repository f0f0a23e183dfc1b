#include "CsvRecordWriter.h"

#include "QxtCsvModel.h"

CsvRecordWriter::CsvRecordWriter(QIODevice *device, QChar separator, int quoteMode,
                                 std::optional<QStringConverter::Encoding> encoding)
    : m_writer(device, separator, quoteMode, encoding)
    , m_separator(separator)
    , m_guardFields(!(quoteMode & (QxtCsvModel::QuoteSingle | QxtCsvModel::QuoteDouble)))
    , m_backslashEscapes(quoteMode & QxtCsvModel::EscapeBackslash)
{ }

bool CsvRecordWriter::open()
{
    return m_writer.open();
}

void CsvRecordWriter::writeRecord(const QStringList &fields, int columnCount)
{
    if (!m_guardFields) {
        writeFields(fields, columnCount);
        return;
    }
    const qsizetype used = qMin<qsizetype>(fields.size(), columnCount);
    for (qsizetype i = 0; i < used; ++i) {
        if (!breaksRecord(fields.at(i)))
            continue;
        // Rare: copy the record only when a field needs quoting.
        QStringList guarded = fields;
        for (qsizetype j = i; j < used; ++j) {
            if (breaksRecord(guarded.at(j)))
                guarded[j] = protectedField(guarded.at(j));
        }
        writeFields(guarded, columnCount);
        return;
    }
    writeFields(fields, columnCount);
}

void CsvRecordWriter::writeFields(const QStringList &fields, int columnCount)
{
    const qsizetype used = qMin<qsizetype>(fields.size(), columnCount);
    for (qsizetype i = 0; i < used; ++i)
        m_writer.writeField(fields.at(i));
    for (qsizetype i = used; i < columnCount; ++i)
        m_writer.writeField(QStringView());
    m_writer.endRecord();
}

bool CsvRecordWriter::close()
{
    return m_writer.close();
}

bool CsvRecordWriter::breaksRecord(const QString &field) const
{
    for (const QChar ch : field) {
        if (ch == m_separator || ch == u'\n' || ch == u'\r')
            return true;
    }
    return false;
}

QString CsvRecordWriter::protectedField(const QString &field) const
{
    // Double-quoted as a quoting mode would, with the mode's own way of escaping.
    return quoteCsvField(QxtCsvModel::QuoteDouble | QxtCsvModel::QuoteAlways |
                             (m_backslashEscapes ? QxtCsvModel::EscapeBackslash : 0),
                         field);
}
