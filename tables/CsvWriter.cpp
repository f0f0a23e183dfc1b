#include "CsvWriter.h"

#include "QxtCsvModel.h"
#include "TablesLog.h"

#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>

namespace {

constexpr qsizetype pendingLimit = 256 * 1024;

void appendEscaped(QString &out, QStringView field, QChar quote, bool backslashEscapes)
{
    out.append(quote);
    for (const QChar ch : field) {
        if (backslashEscapes && (ch == u'\\' || ch == quote))
            out.append(u'\\');
        else if (!backslashEscapes && ch == quote)
            out.append(quote);
        out.append(ch);
    }
    out.append(quote);
}

void appendQuoted(QString &out, int mode, QStringView field)
{
    const bool doubleQuotes = mode & QxtCsvModel::QuoteDouble;
    const bool singleQuotes = mode & QxtCsvModel::QuoteSingle;
    bool useDouble = doubleQuotes && field.contains(u'"');
    bool useSingle = !useDouble && singleQuotes && field.contains(u'\'');
    if (!useDouble && !useSingle && (mode & QxtCsvModel::QuoteAlways)) {
        useDouble = doubleQuotes;
        useSingle = !doubleQuotes && singleQuotes;
    }
    const bool backslashEscapes = mode & QxtCsvModel::EscapeBackslash;
    if (useDouble)
        appendEscaped(out, field, u'"', backslashEscapes);
    else if (useSingle)
        appendEscaped(out, field, u'\'', backslashEscapes);
    else
        out.append(field);
}

} // namespace

QString quoteCsvField(int mode, const QString &field)
{
    QString out;
    appendQuoted(out, mode, field);
    return out;
}

CsvWriter::CsvWriter(QIODevice *device, QChar separator, int quoteFlags,
                     std::optional<QStringConverter::Encoding> encoding)
    : m_device(device)
    , m_separator(separator)
    , m_quoteFlags(quoteFlags)
    , m_encoder(encoding.value_or(QStringConverter::Utf8))
{
    m_pending.reserve(pendingLimit + 1024);
}

bool CsvWriter::open()
{
    if (!m_device)
        m_failed = true;
    else if (!m_device->isOpen() && !m_device->open(QIODevice::WriteOnly | QIODevice::Truncate))
        m_failed = true;
    else if (!m_device->isWritable())
        m_failed = true;
    if (m_failed)
        qCWarning(lcTables) << "CSV output could not be opened:"
                            << (m_device ? m_device->errorString() : QStringLiteral("no device"));
    return !m_failed;
}

void CsvWriter::writeRecord(const QStringList &fields, int columnCount)
{
    const qsizetype available = fields.size();
    for (int column = 0; column < columnCount; ++column) {
        if (column > 0)
            m_pending.append(m_separator);
        appendQuoted(m_pending, m_quoteFlags,
                     column < available ? QStringView(fields.at(column)) : QStringView());
    }
    m_pending.append(u'\n');
    if (m_pending.size() >= pendingLimit)
        writePending();
}

bool CsvWriter::close()
{
    writePending();
    if (!m_device)
        return false;
    if (auto *file = qobject_cast<QFileDevice *>(m_device); file && file->isOpen()) {
        if (!file->flush())
            m_failed = true;
    }
    // A save file is committed (or discarded) by its owner; closing it here would abort.
    if (m_device->isOpen() && !qobject_cast<QSaveFile *>(m_device))
        m_device->close();
    if (m_failed)
        qCWarning(lcTables) << "CSV output failed:" << m_device->errorString();
    return !m_failed;
}

void CsvWriter::writePending()
{
    if (m_pending.isEmpty() || m_failed) {
        m_pending.resize(0);
        return;
    }
    const QByteArray bytes = m_encoder.encode(m_pending);
    m_pending.resize(0);
    if (m_encoder.hasError() && !m_encodingLossReported) {
        qCWarning(lcTables) << "Characters the output encoding cannot represent were replaced";
        m_encodingLossReported = true;
    }
    if (m_device->write(bytes) != bytes.size())
        m_failed = true;
}
