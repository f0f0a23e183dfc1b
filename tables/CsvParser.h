#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// What to read and how: separator, quote-mode bits (QxtCsvModel::QuoteFlag), whether the
// first record is the header, a row limit (-1: none) and how many record end positions to
// keep (0: none, -1: all).
struct CsvReadOptions
{
    QChar separator = u';';
    int quoteFlags = 27;
    bool withHeader = false;
    int maxRows = -1;
    int recordPositions = 0;
};

struct CsvReadResult
{
    QList<QStringList> rows;
    QStringList header;
    bool headerRead = false;
    // Byte offset in the device just after the character that ended each record.
    QList<qint64> positions;
    // Fields of the widest record, the header included.
    int widestRow = 0;
    // The user stopped the read: the rows hold only the beginning of the input.
    bool cancelled = false;
    // The device could not be opened or a read failed: the rows may be incomplete.
    bool failed = false;
};

// The CSV state machine. It is fed decoded text in pieces of any size (a quoted field,
// a CR LF pair or an escape may straddle two pieces) and collects the records.
class CsvParser
{
public:
    explicit CsvParser(const CsvReadOptions &options);

    void feed(const QChar *begin, const QChar *end);
    // End of input: stores a partly read record.
    void finish();

    // The byte offset after the text fed next; recorded at record ends while wanted.
    void setStreamPosition(qint64 position) { m_streamPosition = position; }
    bool wantsPositions() const;
    bool rowLimitReached() const { return m_rowLimitReached; }

    CsvReadResult takeResult();

private:
    enum class State { Unquoted, Quoted, QuotedEscape, QuoteInQuoted };

    const QChar *scanUnquoted(const QChar *pos, const QChar *end);
    const QChar *scanQuoted(const QChar *pos, const QChar *end);
    void step(QChar ch);
    void handleFieldChar(QChar ch);
    bool opensQuote(QChar ch) const;
    void finishField();
    void endRecord(bool honourRowLimit);

    const CsvReadOptions m_options;
    const bool m_relaxed;
    const bool m_doubledQuoteEscapes;
    const bool m_backslashEscapes;

    State m_state = State::Unquoted;
    QChar m_quoteChar;
    bool m_quoted = false;
    bool m_afterCr = false;
    bool m_headerPending;
    bool m_rowLimitReached = false;
    qint64 m_streamPosition = -1;
    QString m_field;
    QStringList m_row;
    CsvReadResult m_result;
};
