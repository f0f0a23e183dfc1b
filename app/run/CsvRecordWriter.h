#pragma once

#include <tables/CsvWriter.h>

#include <QChar>
#include <QStringConverter>
#include <QStringList>
#include <QStringView>

#include <optional>

class QIODevice;

// Writes CSV records for others to read. Over the table writer it keeps every record on its
// line: in a quote mode without quote characters a field that holds the separator, CR or LF
// is double-quoted all the same, since written bare it would split its row.
class CsvRecordWriter
{
public:
    CsvRecordWriter(QIODevice *device, QChar separator, int quoteMode,
                    std::optional<QStringConverter::Encoding> encoding);

    // Whether the quote mode writes fields bare, so that the guard has to quote.
    static bool guardsFields(int quoteMode);

    // Opens the device write-only when it is not open.
    bool open();
    // The next field of the record.
    void writeField(QStringView field);
    void endRecord();
    // Writes the first columnCount fields, empty ones where the record is shorter.
    void writeRecord(const QStringList &fields, int columnCount);
    // Writes what is pending; false if anything failed on the way. A save file stays open for
    // its owner to commit.
    bool close();

private:
    QString protectedField(QStringView field) const;
    bool breaksRecord(QStringView field) const;

    vondrel::CsvWriter m_writer;
    const QChar m_separator;
    // The quote mode writes fields bare, so the guard has to quote.
    const bool m_guardFields;
    const bool m_backslashEscapes;
};
