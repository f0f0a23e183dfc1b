#pragma once

#include <QChar>
#include <QString>
#include <QStringConverter>
#include <QStringList>

#include <optional>

class QIODevice;

// The field as written for the quote-mode bits (QxtCsvModel::QuoteFlag): quoted when it
// holds a quote character of an enabled kind, or always with QuoteAlways; unchanged otherwise.
QString quoteCsvField(int mode, const QString &field);

// Writes records as CSV lines (LF-terminated) to a device in the chosen encoding (UTF-8
// without one). Text is encoded and written in large blocks; the first failure sticks.
class CsvWriter
{
public:
    CsvWriter(QIODevice *device, QChar separator, int quoteFlags,
              std::optional<QStringConverter::Encoding> encoding);

    // Opens the device write-only and truncated when it is not open.
    bool open();
    // Writes the first columnCount fields, empty ones where the record is shorter.
    void writeRecord(const QStringList &fields, int columnCount);
    // Writes what is pending and closes the device; false if anything failed on the way.
    bool close();

private:
    void writePending();

    QIODevice *m_device;
    const QChar m_separator;
    const int m_quoteFlags;
    QStringEncoder m_encoder;
    QString m_pending;
    bool m_failed = false;
    bool m_encodingLossReported = false;
};
