#include "CsvParser.h"

#include "QxtCsvModel.h"

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

// Characters that need no decision beyond "append to the field".
bool isOrdinary(char16_t u, char16_t separator)
{
    if (u == separator)
        return false;
    if (u >= 0x20 && u < 0x7f)
        return true;
    return u > 0x7f && u != 0x2028 && u != 0x2029;
}

bool isBlank(QChar ch)
{
    const char16_t u = ch.unicode();
    return !(u >= 0x80 && u <= 0x9f) && ch.isSpace();
}

// An exact-size copy: the model keeps millions of fields, the buffer is reused.
QString fieldText(const QString &buffer, bool trim)
{
    const QChar *begin = buffer.constData();
    const QChar *end = begin + buffer.size();
    if (trim) {
        while (begin < end && isBlank(*begin))
            ++begin;
        while (end > begin && isBlank(end[-1]))
            --end;
    }
    return begin == end ? QString() : QString(begin, end - begin);
}

} // namespace

CsvParser::CsvParser(const CsvReadOptions &options)
    : m_options(options)
    , m_relaxed(options.quoteFlags & QxtCsvModel::RelaxedInput)
    , m_doubledQuoteEscapes(options.quoteFlags & QxtCsvModel::EscapeDoubledQuote)
    , m_backslashEscapes(options.quoteFlags & QxtCsvModel::EscapeBackslash)
    , m_headerPending(options.withHeader)
{ }

void CsvParser::feed(const QChar *pos, const QChar *end)
{
    while (pos < end && !m_rowLimitReached) {
        switch (m_state) {
        case State::Unquoted:
            pos = scanUnquoted(pos, end);
            break;
        case State::Quoted:
            pos = scanQuoted(pos, end);
            break;
        case State::QuotedEscape:
            m_field.append(*pos++);
            m_state = State::Quoted;
            break;
        case State::QuoteInQuoted:
            if (*pos == m_quoteChar) {
                m_field.append(*pos++);
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
    // An empty quoted field ("") is content too, not the absence of a last line.
    if (m_field.isEmpty() && m_row.isEmpty() && !m_quoted)
        return;
    endRecord(false);
}

bool CsvParser::wantsPositions() const
{
    const int wanted = m_options.recordPositions;
    return wanted == -1 || wanted > m_result.positions.size();
}

CsvReadResult CsvParser::takeResult()
{
    return std::move(m_result);
}

const QChar *CsvParser::scanUnquoted(const QChar *pos, const QChar *end)
{
    if (!m_field.isEmpty() || !opensQuote(*pos)) {
        const char16_t separator = m_options.separator.unicode();
        const QChar *run = pos;
        while (pos < end && isOrdinary(pos->unicode(), separator))
            ++pos;
        if (pos != run) {
            m_field.append(run, pos - run);
            m_afterCr = false;
            return pos;
        }
    }
    step(*pos);
    return pos + 1;
}

const QChar *CsvParser::scanQuoted(const QChar *pos, const QChar *end)
{
    const QChar *run = pos;
    while (pos < end && *pos != m_quoteChar && !(m_backslashEscapes && *pos == u'\\'))
        ++pos;
    m_field.append(run, pos - run);
    if (pos == end)
        return pos;
    if (*pos == m_quoteChar)
        m_state = m_doubledQuoteEscapes ? State::QuoteInQuoted : State::Unquoted;
    else
        m_state = State::QuotedEscape;
    return pos + 1;
}

void CsvParser::step(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u == u'\n' && m_afterCr) {
        m_afterCr = false;
        return;
    }
    m_afterCr = u == u'\r';

    if (ch == m_options.separator) {
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
    if (m_field.isEmpty() && opensQuote(ch)) {
        m_quoteChar = ch;
        m_quoted = true;
        m_state = State::Quoted;
    } else if (ch == m_options.separator) {
        finishField();
    } else {
        m_field.append(ch);
    }
}

bool CsvParser::opensQuote(QChar ch) const
{
    return (ch == u'"' && (m_options.quoteFlags & QxtCsvModel::QuoteDouble)) ||
        (ch == u'\'' && (m_options.quoteFlags & QxtCsvModel::QuoteSingle));
}

void CsvParser::finishField()
{
    m_row.append(fieldText(m_field, !m_quoted));
    m_field.resize(0);
    m_quoted = false;
}

void CsvParser::endRecord(bool honourRowLimit)
{
    finishField();
    const int width = int(m_row.size());
    if (m_headerPending) {
        m_result.header = std::move(m_row);
        m_result.headerRead = true;
        m_headerPending = false;
    } else {
        if (m_row.capacity() != m_row.size())
            m_row.squeeze();
        m_result.rows.append(std::move(m_row));
    }
    m_result.widestRow = qMax(m_result.widestRow, width);

    if (wantsPositions() && m_streamPosition >= 0)
        m_result.positions.append(m_streamPosition);

    if (honourRowLimit && m_options.maxRows > 0 && m_result.rows.size() >= m_options.maxRows)
        m_rowLimitReached = true;

    m_row = QStringList();
    m_row.reserve(width);
}
