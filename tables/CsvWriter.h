#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringConverter>
#include <QStringView>

#include <optional>

class QIODevice;

// The field as written for the quote-mode bits (QxtCsvModel::QuoteFlag): quoted when it
// holds a quote character of an enabled kind, or always with QuoteAlways; unchanged otherwise.
QString quoteCsvField(int mode, const QString &field);

namespace vondrel {

// Writes records as CSV lines (LF-terminated) to a device in the chosen encoding (UTF-8
// without one). Text is encoded and written in large blocks; the first failure sticks. A
// character the encoding cannot hold is a failure, not a silent "?"; an unpaired surrogate is
// written as U+FFFD (a failure where that cannot be held either). After a failure a save
// file is cancelled, so that a commit by its owner cannot install a broken file.
class CsvWriter
{
public:
    CsvWriter(QIODevice *device, QChar separator, int quoteFlags,
              std::optional<QStringConverter::Encoding> encoding);

    // Opens the device write-only and truncated when it is not open.
    bool open();
    // The next field of the record, quoted as the mode asks.
    void writeField(QStringView field);
    void endRecord();
    bool failed() const { return m_failed; }
    // Writes what is pending and closes the device (a save file stays open for its owner
    // to commit); false if anything failed on the way.
    bool close();

private:
    // Room for size more characters of pending text; returns where they go.
    QChar *reserve(qsizetype size);
    void writePending();
    void fail(const char *reason);

    QIODevice *m_device;
    const QChar m_separator;
    const int m_quoteFlags;
    QStringEncoder m_encoder;
    const bool m_passesSurrogates; // the encoder writes unpaired surrogates unchanged
    // The size of m_pending is its capacity; m_pendingSize is what is used.
    QString m_pending;
    qsizetype m_pendingSize = 0;
    QByteArray m_encoded;
    bool m_atRecordStart = true;
    bool m_failed = false;
};

} // namespace vondrel
