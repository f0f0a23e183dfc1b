#pragma once

#include "CsvTable.h"
#include "CsvTableBuilder.h"

#include <QChar>
#include <QList>
#include <QStringList>

namespace vondrel {

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
    // Threads for reading large input: 0 one per core, 1 strictly in order on the caller's.
    int threads = 0;
};

struct CsvReadResult
{
    CsvTable rows;
    QStringList header;
    bool headerRead = false;
    // Byte offset in the device just after the character that ended each record.
    QList<qint64> positions;
    // Fields of the widest record, the header included.
    int widestRow = 0;
    // The user stopped the read: the rows hold only the beginning of the input.
    bool cancelled = false;
    // The device could not be opened, a read failed or a record was too long to hold: the
    // rows may be incomplete.
    bool failed = false;
};

// The CSV state machine. It is fed decoded text in pieces of any size (a quoted field,
// a CR LF pair or an escape may straddle two pieces) and collects the records. Runs of
// plain text are found in bulk and stored without a string per field.
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
    // No more input is wanted: the row limit is reached or a record was too long to hold.
    bool stopped() const { return m_rowLimitReached || m_overflow; }
    bool overflowed() const { return m_overflow; }

    // Nothing but rows is still wanted: the header is read, the record positions are taken and
    // no row limit applies. Input may then be parsed in pieces by parsers of their own.
    bool wantsOnlyRows() const;
    // Between records and outside quotes, in the state of a parser that has seen nothing.
    bool atRecordStart() const;
    // Reads a piece of the input whose rows another parser takes over (appendRowsOf).
    void readPiece() { m_rows.holdBlocks(); }
    // Takes over the rows of a piece parser that read the input following this one's, both
    // at a record start; as if this parser had read that input itself.
    void appendRowsOf(CsvParser &piece);

    CsvReadResult takeResult();

private:
    enum class State { Unquoted, Quoted, QuotedEscape, QuoteInQuoted };

    // Plain text and separators in bulk; returns at the first character needing more.
    const QChar *scanUnquoted(const QChar *pos, const QChar *end);
    const QChar *scanQuoted(const QChar *pos, const QChar *end);
    void step(QChar ch);
    void handleFieldChar(QChar ch);
    bool opensQuote(QChar ch) const
    {
        return (ch == u'"' && m_doubleQuotes) || (ch == u'\'' && m_singleQuotes);
    }
    void append(const QChar *text, qsizetype size) { m_rows.appendText(text, size); }
    void finishField();
    void endRecord(bool honourRowLimit);

    const CsvReadOptions m_options;
    const char16_t m_separator;
    const bool m_doubleQuotes;
    const bool m_singleQuotes;
    const bool m_relaxed;
    const bool m_doubledQuoteEscapes;
    const bool m_backslashEscapes;

    State m_state = State::Unquoted;
    QChar m_quoteChar;
    bool m_quoted = false;
    bool m_afterCr = false;
    bool m_headerPending;
    bool m_rowLimitReached = false;
    bool m_overflow = false;
    qint64 m_streamPosition = -1;
    int m_rowCount = 0;
    CsvTableBuilder m_rows;
    CsvReadResult m_result;
};

} // namespace vondrel
