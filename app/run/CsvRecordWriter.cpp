#include "CsvRecordWriter.h"

#include <tables/QxtCsvModel.h>

CsvRecordWriter::CsvRecordWriter(QIODevice *device, QChar separator, int quoteMode,
                                 std::optional<QStringConverter::Encoding> encoding)
    : m_writer(device, separator, quoteMode, encoding)
    , m_separator(separator)
    , m_guardFields(guardsFields(quoteMode))
    , m_backslashEscapes(quoteMode & QxtCsvModel::EscapeBackslash)
{ }

bool CsvRecordWriter::guardsFields(int quoteMode)
{
    return !(quoteMode & (QxtCsvModel::QuoteSingle | QxtCsvModel::QuoteDouble));
}

bool CsvRecordWriter::open()
{
    return m_writer.open();
}

void CsvRecordWriter::writeField(QStringView field)
{
    if (m_guardFields && breaksRecord(field))
        m_writer.writeField(protectedField(field));
    else
        m_writer.writeField(field);
}

void CsvRecordWriter::endRecord()
{
    m_writer.endRecord();
}

void CsvRecordWriter::writeRecord(const QStringList &fields, int columnCount)
{
    const qsizetype used = qMin<qsizetype>(fields.size(), columnCount);
    for (qsizetype i = 0; i < used; ++i)
        writeField(fields.at(i));
    for (qsizetype i = used; i < columnCount; ++i)
        writeField(QStringView());
    endRecord();
}

bool CsvRecordWriter::close()
{
    return m_writer.close();
}

bool CsvRecordWriter::breaksRecord(QStringView field) const
{
    for (const QChar ch : field) {
        if (ch == m_separator || ch == u'\n' || ch == u'\r')
            return true;
    }
    return false;
}

QString CsvRecordWriter::protectedField(QStringView field) const
{
    // Double-quoted as a quoting mode would, with the mode's own way of escaping.
    return quoteCsvField(QxtCsvModel::QuoteDouble | QxtCsvModel::QuoteAlways |
                             (m_backslashEscapes ? QxtCsvModel::EscapeBackslash : 0),
                         field.toString());
}
