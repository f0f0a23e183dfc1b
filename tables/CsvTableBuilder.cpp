#include "CsvTableBuilder.h"

namespace vondrel {

bool CsvTableBuilder::reserveFor(qsizetype inputLength)
{
    const qsizetype text = m_textSize + inputLength;
    if (text > CsvRowBlock::maxText)
        return false;
    if (text > m_text.size()) {
        m_text.resize(qMin(qMax(2 * m_text.size(), text), CsvRowBlock::maxText));
        m_textData = m_text.data();
    }
    const auto spans = size_t(m_spanCount + inputLength + 1);
    if (spans > m_spans.size())
        m_spans.resize(qMax(2 * m_spans.size(), spans));
    return true;
}

int CsvTableBuilder::finishRow()
{
    const auto count = quint32(m_spanCount - m_rowStart);
    m_rows.push_back({quint32(m_rowStart), count});
    m_rowStart = m_spanCount;
    m_lastRowTextStart = m_rowTextStart;
    m_rowTextStart = m_textSize;
    return int(count);
}

QStringList CsvTableBuilder::takeLastRow()
{
    const CsvRowBlock::RowSpan row = m_rows.back();
    QStringList fields;
    fields.reserve(row.count);
    for (quint32 i = 0; i < row.count; ++i) {
        const CsvRowBlock::Span span = m_spans[row.first + i];
        fields.append(span.length ? QString(m_textData + span.offset, span.length) : QString());
    }
    m_rows.pop_back();
    m_spanCount = m_rowStart = row.first;
    // The row owned the end of the text.
    m_textSize = m_fieldStart = m_rowTextStart = m_lastRowTextStart;
    return fields;
}

void CsvTableBuilder::flushIfFull()
{
    if (m_textSize >= CsvRowBlock::fullText || m_rows.size() >= size_t(CsvRowBlock::fullRows))
        flush();
}

void CsvTableBuilder::appendRowsOf(CsvTableBuilder &other)
{
    Q_ASSERT(other.m_holdsBlocks);
    flush();
    other.flush();
    for (CsvRowBlock &block : other.m_heldBlocks)
        m_table.appendBlock(std::move(block));
    other.m_heldBlocks.clear();
}

CsvTable CsvTableBuilder::takeTable()
{
    // A row left open was cut short; only whole rows count.
    m_spanCount = m_rowStart;
    m_textSize = m_fieldStart = m_rowTextStart;
    flush();
    m_table.squeeze();
    return std::move(m_table);
}

void CsvTableBuilder::trimOpenField()
{
    qsizetype begin = m_fieldStart;
    qsizetype end = m_textSize;
    while (end > begin && isBlank(m_textData[end - 1]))
        --end;
    while (begin < end && isBlank(m_textData[begin]))
        ++begin;
    std::memmove(m_textData + m_fieldStart, m_textData + begin,
                 size_t(end - begin) * sizeof(QChar));
    m_textSize = m_fieldStart + (end - begin);
}

// Only called between rows: everything gathered goes over.
void CsvTableBuilder::flush()
{
    if (m_rows.empty())
        return;
    const auto spans = m_spans.begin();
    CsvRowBlock block(QString(m_textData, m_textSize),
                      std::vector<CsvRowBlock::Span>(spans, spans + m_spanCount), m_rows);
    if (m_holdsBlocks)
        m_heldBlocks.push_back(std::move(block));
    else
        m_table.appendBlock(std::move(block));
    m_rows.clear();
    m_textSize = m_fieldStart = m_rowTextStart = m_lastRowTextStart = 0;
    m_spanCount = m_rowStart = 0;
}

} // namespace vondrel
