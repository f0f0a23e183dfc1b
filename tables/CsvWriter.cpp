#include "CsvWriter.h"

#include "CsvRunCopy.h"
#include "QxtCsvModel.h"
#include "TablesLog.h"
#include "UnpairedSurrogates.h"
#include "WorkPulse.h"

#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr qsizetype pendingLimit = 256 * 1024;

// The most a field can take when written: every character escaped, two quotes.
qsizetype writtenSizeLimit(QStringView field)
{
    return 2 * field.size() + 2;
}

// Writes the field between quotes to out, escaping by runs; returns the end.
QChar *writeEscaped(QChar *out, QStringView field, QChar quote, bool backslashEscapes)
{
    const char16_t escape = backslashEscapes ? u'\\' : quote.unicode();
    *out++ = quote;
    const QChar *pos = field.begin();
    const QChar *const end = field.end();
    for (;;) {
        const qsizetype length = vondrel::copyRunUntil(pos, end, out, quote.unicode(), escape);
        out += length;
        pos += length;
        if (pos == end)
            break;
        *out++ = escape;
        *out++ = *pos++;
    }
    *out++ = quote;
    return out;
}

// Writes the field as the quote mode asks to out, which has room for writtenSizeLimit().
QChar *writeQuoted(QChar *out, int mode, QStringView field)
{
    const bool doubleQuotes = mode & QxtCsvModel::QuoteDouble;
    const bool singleQuotes = mode & QxtCsvModel::QuoteSingle;
    const bool always = mode & QxtCsvModel::QuoteAlways;
    // With double quotes only, quoting always needs no look at the field first.
    bool useDouble = doubleQuotes && ((always && !singleQuotes) || field.contains(u'"'));
    bool useSingle = !useDouble && singleQuotes && field.contains(u'\'');
    if (!useDouble && !useSingle && always) {
        useDouble = doubleQuotes;
        useSingle = !doubleQuotes && singleQuotes;
    }
    const bool backslashEscapes = mode & QxtCsvModel::EscapeBackslash;
    if (useDouble)
        return writeEscaped(out, field, u'"', backslashEscapes);
    if (useSingle)
        return writeEscaped(out, field, u'\'', backslashEscapes);
    std::copy(field.begin(), field.end(), out);
    return out + field.size();
}

} // namespace

QString quoteCsvField(int mode, const QString &field)
{
    QString out(writtenSizeLimit(field), Qt::Uninitialized);
    out.truncate(writeQuoted(out.data(), mode, field) - out.constData());
    return out;
}

namespace vondrel {

CsvWriter::CsvWriter(QIODevice *device, QChar separator, int quoteFlags,
                     std::optional<QStringConverter::Encoding> encoding)
    : m_device(device)
    , m_separator(separator)
    , m_quoteFlags(quoteFlags)
    , m_encoder(encoding.value_or(QStringConverter::Utf8))
    , m_passesSurrogates(encoding == QStringConverter::Utf16 ||
                         encoding == QStringConverter::Utf16LE ||
                         encoding == QStringConverter::Utf16BE)
{ }

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

void CsvWriter::writeField(QStringView field)
{
    QChar *out = reserve(1 + writtenSizeLimit(field));
    if (!m_atRecordStart)
        *out++ = m_separator;
    m_atRecordStart = false;
    m_pendingSize = writeQuoted(out, m_quoteFlags, field) - m_pending.constData();
}

void CsvWriter::endRecord()
{
    *reserve(1) = u'\n';
    ++m_pendingSize;
    m_atRecordStart = true;
    if (m_pendingSize >= pendingLimit)
        writePending();
}

bool CsvWriter::close()
{
    writePending();
    if (!m_device)
        return false;
    if (auto *file = qobject_cast<QFileDevice *>(m_device); file && file->isOpen() && !m_failed) {
        if (!file->flush())
            fail("flush failed");
    }
    // A save file is committed (or discarded) by its owner; closing it here would abort.
    if (m_device->isOpen() && !qobject_cast<QSaveFile *>(m_device))
        m_device->close();
    return !m_failed;
}

QChar *CsvWriter::reserve(qsizetype size)
{
    if (m_pendingSize + size > m_pending.size())
        m_pending.resize(qMax(m_pendingSize + size, pendingLimit + 1024));
    return m_pending.data() + m_pendingSize;
}

void CsvWriter::writePending()
{
    const QStringView pending(m_pending.constData(), m_pendingSize);
    m_pendingSize = 0;
    if (pending.isEmpty() || m_failed)
        return;
    // A lone surrogate (a script can write one) is a broken character, written as U+FFFD as in
    // a workbook. The UTF-16 encoders would pass it through, the others report an error; the
    // text is then mended and encoded again, so that text without one costs no extra pass.
    // Pending text ends with a record, so no pair is split between two calls.
    QChar *const text = m_pending.data();
    if (m_passesSurrogates)
        replaceUnpairedSurrogates(text, text + pending.size());
    m_encoded.resize(m_encoder.requiredSpace(pending.size()));
    const char *end = m_encoder.appendToBuffer(m_encoded.data(), pending);
    if (m_encoder.hasError() && replaceUnpairedSurrogates(text, text + pending.size()) > 0) {
        m_encoder.resetState();
        end = m_encoder.appendToBuffer(m_encoded.data(), pending);
    }
    if (m_encoder.hasError()) {
        fail("a character cannot be represented in the output encoding");
        return;
    }
    const qint64 size = end - m_encoded.constData();
    if (m_device->write(m_encoded.constData(), size) != size)
        fail("write failed");
    WorkPulse::pulse();
}

void CsvWriter::fail(const char *reason)
{
    m_failed = true;
    qCWarning(lcTables) << "CSV output failed:" << reason << m_device->errorString();
    // A short write can leave the save file without an error of its own; it must not be
    // committed as if complete.
    if (auto *saveFile = qobject_cast<QSaveFile *>(m_device))
        saveFile->cancelWriting();
}

} // namespace vondrel
