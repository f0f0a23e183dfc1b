#include "CsvParser.h"

#include "CsvRunCopy.h"
#include "QxtCsvModel.h"

#include <QStringView>

namespace vondrel {

namespace {

// C1 controls (U+0080..U+009F) are deliberately excluded: Windows-1252 text read as Latin-1
// keeps its euro sign, typographic quotes and dashes there, so they are ordinary text.
bool isControl(char16_t u)
{
    return u < 0x20 || u == 0x7f;
}

bool endsRecord(char16_t u)
{
    return isControl(u) || u == 0x2028 || u == 0x2029;
}

// Quoted text runs up to the quote character, or to a backslash when it escapes.
qsizetype copyQuotedRun(const QChar *pos, const QChar *end, QChar *out, QChar quote, bool backslash)
{
    return copyRunUntil(pos, end, out, quote.unicode(), backslash ? u'\\' : quote.unicode());
}

} // namespace

CsvParser::CsvParser(const CsvReadOptions &options)
    : m_options(options)
    , m_separator(options.separator.unicode())
    , m_doubleQuotes(options.quoteFlags & QxtCsvModel::QuoteDouble)
    , m_singleQuotes(options.quoteFlags & QxtCsvModel::QuoteSingle)
    , m_relaxed(options.quoteFlags & QxtCsvModel::RelaxedInput)
    , m_doubledQuoteEscapes(options.quoteFlags & QxtCsvModel::EscapeDoubledQuote)
    , m_backslashEscapes(options.quoteFlags & QxtCsvModel::EscapeBackslash)
    , m_headerPending(options.withHeader)
{ }

void CsvParser::feed(const QChar *pos, const QChar *end)
{
    // Field text never outgrows the input it comes from.
    if (!stopped() && !m_rows.reserveFor(end - pos))
        m_overflow = true;
    while (pos < end && !stopped()) {
        switch (m_state) {
        case State::Unquoted:
            pos = scanUnquoted(pos, end);
            break;
        case State::Quoted:
            pos = scanQuoted(pos, end);
            break;
        case State::QuotedEscape:
            append(pos++, 1);
            m_state = State::Quoted;
            break;
        case State::QuoteInQuoted:
            if (*pos == m_quoteChar) {
                append(pos++, 1);
                m_state = State::Quoted;
            } else {
                // The quote closed the section; this character starts over in the main step.
                m_state = State::Unquoted;
            }
            break;
        }
    }
}

void CsvParser::finish()
{
    m_state = State::Unquoted;
    // A record cut short for want of room is not stored as if it were complete.
    if (m_overflow)
        return;
    // An empty quoted field ("") is content too, not the absence of a last line.
    if (m_rows.openFieldIsEmpty() && m_rows.openRowFieldCount() == 0 && !m_quoted)
        return;
    endRecord(false);
}

bool CsvParser::wantsPositions() const
{
    const int wanted = m_options.recordPositions;
    return wanted == -1 || wanted > m_result.positions.size();
}

bool CsvParser::wantsOnlyRows() const
{
    return !m_headerPending && !wantsPositions() && m_options.maxRows < 0;
}

bool CsvParser::atRecordStart() const
{
    return m_state == State::Unquoted && !m_afterCr && !m_quoted && m_rows.openFieldIsEmpty() &&
        m_rows.openRowFieldCount() == 0;
}

void CsvParser::appendRowsOf(CsvParser &piece)
{
    Q_ASSERT(atRecordStart() && piece.atRecordStart() && wantsOnlyRows());
    m_rows.appendRowsOf(piece.m_rows);
    m_rowCount += piece.m_rowCount;
    m_result.widestRow = qMax(m_result.widestRow, piece.m_result.widestRow);
}

CsvReadResult CsvParser::takeResult()
{
    m_result.rows = m_rows.takeTable();
    return std::move(m_result);
}

const QChar *CsvParser::scanUnquoted(const QChar *pos, const QChar *end)
{
    while (pos < end) {
        if (m_rows.openFieldIsEmpty() && opensQuote(*pos))
            break;
        if (const qsizetype length = copyUnquotedRun(pos, end, m_rows.textEnd(), m_separator)) {
            m_rows.appendCopied(length);
            m_afterCr = false;
            pos += length;
        } else if (pos->unicode() == m_separator) {
            // What step() would do with it, without the detour.
            m_afterCr = false;
            finishField();
            ++pos;
        } else {
            break;
        }
    }
    if (pos == end)
        return pos;
    step(*pos);
    return pos + 1;
}

const QChar *CsvParser::scanQuoted(const QChar *pos, const QChar *end)
{
    const qsizetype length =
        copyQuotedRun(pos, end, m_rows.textEnd(), m_quoteChar, m_backslashEscapes);
    m_rows.appendCopied(length);
    const QChar *stop = pos + length;
    if (stop == end)
        return stop;
    if (*stop == m_quoteChar)
        m_state = m_doubledQuoteEscapes ? State::QuoteInQuoted : State::Unquoted;
    else
        m_state = State::QuotedEscape;
    return stop + 1;
}

void CsvParser::step(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u == u'\n' && m_afterCr) {
        m_afterCr = false;
        return;
    }
    m_afterCr = u == u'\r';

    if (u == m_separator) {
        handleFieldChar(ch);
    } else if (m_relaxed && u != u'\r' && u != u'\n' && isControl(u)) {
        // Relaxed reading drops stray control characters instead of breaking the record.
    } else if (endsRecord(u)) {
        endRecord(true);
    } else {
        handleFieldChar(ch);
    }
}

void CsvParser::handleFieldChar(QChar ch)
{
    if (m_rows.openFieldIsEmpty() && opensQuote(ch)) {
        m_quoteChar = ch;
        m_quoted = true;
        m_state = State::Quoted;
    } else if (ch.unicode() == m_separator) {
        finishField();
    } else {
        append(&ch, 1);
    }
}

void CsvParser::finishField()
{
    m_rows.finishField(!m_quoted);
    m_quoted = false;
}

void CsvParser::endRecord(bool honourRowLimit)
{
    finishField();
    const int width = m_rows.finishRow();
    if (m_headerPending) {
        m_result.header = m_rows.takeLastRow();
        m_result.headerRead = true;
        m_headerPending = false;
    } else {
        ++m_rowCount;
        m_rows.flushIfFull();
    }
    m_result.widestRow = qMax(m_result.widestRow, width);

    if (wantsPositions() && m_streamPosition >= 0)
        m_result.positions.append(m_streamPosition);

    if (honourRowLimit && m_options.maxRows > 0 && m_rowCount >= m_options.maxRows)
        m_rowLimitReached = true;
}

} // namespace vondrel
