#include "CsvRowBlock.h"

#include <algorithm>

namespace vondrel {

namespace {

// Leftover space is reclaimed once it is a quarter of the block: the copy then costs at
// most four times what was thrown away, and a block never holds more than a third again
// its data.
constexpr qsizetype garbageFloor = 4096;

bool worthReclaiming(qsizetype garbage, qsizetype total)
{
    return garbage > garbageFloor && garbage * 4 > total;
}

} // namespace

CsvRowBlock::CsvRowBlock(QString text, std::vector<Span> spans, std::vector<RowSpan> rows)
    : m_text(std::move(text))
    , m_spans(std::move(spans))
    , m_rows(std::move(rows))
    , m_liveRows(int(m_rows.size()))
{ }

int CsvRowBlock::addRow()
{
    m_rows.push_back({quint32(m_spans.size()), 0});
    ++m_liveRows;
    return rowCount() - 1;
}

bool CsvRowBlock::setField(int row, int column, QStringView text)
{
    if (text.size() > maxText)
        return false;
    RowSpan &rowSpan = m_rows[size_t(row)];
    if (quint32(column) >= rowSpan.count)
        growRow(rowSpan, quint32(column) + 1);
    Span *span = &m_spans[rowSpan.first + size_t(column)];
    const qsizetype oldLength = lengthOf(*span);
    if (text.size() <= oldLength) {
        // Shorter text fits where the old one was.
        if (!text.isEmpty())
            std::copy(text.begin(), text.end(), mutableTextOf(*span));
        span->length = quint32(text.size()) | (span->length & editedBit);
        m_garbageText += oldLength - text.size();
        compactIfWorthIt();
        return true;
    }
    if (m_edits.size() + text.size() > maxText) {
        compact();
        if (m_edits.size() + text.size() > maxText)
            return false;
        span = &m_spans[rowSpan.first + size_t(column)];
    }
    m_garbageText += oldLength;
    *span = {quint32(m_edits.size()), quint32(text.size()) | editedBit};
    // Edits grow by a quarter, not by doubling: a million rows of edits would otherwise
    // leave much of their buffers unused.
    const qsizetype needed = m_edits.size() + text.size();
    if (needed > m_edits.capacity())
        m_edits.reserve(
            qMin(qMax(needed, m_edits.capacity() + m_edits.capacity() / 4 + 256), maxText));
    m_edits.append(text);
    compactIfWorthIt();
    return true;
}

bool CsvRowBlock::setFields(const std::vector<int> &rows, const std::vector<int> &columns,
                            const std::vector<QStringView> &texts)
{
    qsizetype added = 0;
    for (const QStringView text : texts)
        added += text.size();
    if (m_edits.size() + added > maxText) {
        compact();
        if (m_edits.size() + added > maxText)
            return false;
    }
    // Sized at once and filled by plain copies: appending field by field costs more than
    // the copying itself.
    qsizetype used = m_edits.size();
    m_edits.resize(used + added);
    QChar *const edits = m_edits.data();
    auto text = texts.cbegin();
    for (const int row : rows) {
        RowSpan &rowSpan = m_rows[size_t(row)];
        for (const int column : columns) {
            const QStringView newText = *text++;
            if (newText.isNull())
                continue;
            if (quint32(column) >= rowSpan.count)
                growRow(rowSpan, quint32(column) + 1);
            Span &span = m_spans[rowSpan.first + size_t(column)];
            m_garbageText += lengthOf(span);
            if (newText.isEmpty()) {
                span = Span();
                continue;
            }
            span = {quint32(used), quint32(newText.size()) | editedBit};
            std::copy(newText.begin(), newText.end(), edits + used);
            used += newText.size();
        }
    }
    return true;
}

void CsvRowBlock::releaseRow(int row)
{
    RowSpan &rowSpan = m_rows[size_t(row)];
    if (isReleased(rowSpan))
        return;
    qsizetype text = 0;
    for (quint32 i = 0; i < rowSpan.count; ++i)
        text += lengthOf(m_spans[rowSpan.first + i]);
    m_garbageText += text;
    m_garbageSpans += rowSpan.count;
    rowSpan = {releasedRow, 0};
    --m_liveRows;
    compactIfWorthIt();
}

void CsvRowBlock::insertFields(int column, int count)
{
    const auto at = quint32(column);
    const size_t added = size_t(m_liveRows) * (size_t(count) + 1);
    rebuildSpans(added, [this, at, count](const RowSpan &row, std::vector<Span> &spans) {
        const Span *old = m_spans.data() + row.first;
        const quint32 head = std::min(row.count, at);
        spans.insert(spans.end(), old, old + head);
        // Padding up to the column, the new fields, then what stood at the column: the
        // old fields from there on, or the one padding field at the column itself.
        spans.resize(spans.size() + (at - head) + size_t(count));
        if (row.count > at)
            spans.insert(spans.end(), old + at, old + row.count);
        else
            spans.emplace_back();
    });
}

void CsvRowBlock::removeFields(int column, int count)
{
    const auto at = quint32(column);
    const quint64 end = quint64(at) + quint64(count);
    rebuildSpans(0, [this, at, end](const RowSpan &row, std::vector<Span> &spans) {
        for (quint32 i = 0; i < row.count; ++i) {
            const Span span = m_spans[row.first + i];
            if (i >= at && i < end)
                m_garbageText += lengthOf(span);
            else
                spans.push_back(span);
        }
    });
    compactIfWorthIt();
}

QChar *CsvRowBlock::mutableTextOf(Span span)
{
    return ((span.length & editedBit) ? m_edits.data() : m_text.data()) + span.offset;
}

void CsvRowBlock::growRow(RowSpan &row, quint32 count)
{
    if (row.first + row.count == m_spans.size()) {
        m_spans.resize(row.first + size_t(count));
        row.count = count;
        return;
    }
    // Fields of a row lie together: a row that grows moves to the end.
    const size_t first = m_spans.size();
    m_spans.resize(first + count);
    std::copy_n(m_spans.begin() + row.first, row.count, m_spans.begin() + qsizetype(first));
    m_garbageSpans += row.count;
    row = {quint32(first), count};
}

void CsvRowBlock::compactIfWorthIt()
{
    if (worthReclaiming(m_garbageText, m_text.size() + m_edits.size()) ||
        worthReclaiming(m_garbageSpans, qsizetype(m_spans.size())))
        compact();
}

void CsvRowBlock::compact()
{
    const qsizetype liveText = m_text.size() + m_edits.size() - m_garbageText;
    if (liveText > maxText)
        return;
    QString text;
    text.reserve(liveText);
    rebuildSpans(0, [this, &text](const RowSpan &row, std::vector<Span> &spans) {
        for (quint32 i = 0; i < row.count; ++i) {
            const Span span = m_spans[row.first + i];
            const qsizetype length = lengthOf(span);
            spans.push_back(length ? Span {quint32(text.size()), quint32(length)} : Span());
            text.append(textOf(span), length);
        }
    });
    m_text = std::move(text);
    m_edits = QString();
    m_garbageText = 0;
}

template<typename AppendRow>
void CsvRowBlock::rebuildSpans(size_t added, AppendRow appendRow)
{
    std::vector<Span> spans;
    spans.reserve(m_spans.size() - size_t(m_garbageSpans) + added);
    for (RowSpan &row : m_rows) {
        if (isReleased(row))
            continue;
        const auto first = quint32(spans.size());
        appendRow(row, spans);
        row = {first, quint32(spans.size()) - first};
    }
    m_spans = std::move(spans);
    m_garbageSpans = 0;
}

} // namespace vondrel
