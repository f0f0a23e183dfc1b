#pragma once

#include "CsvRowBlock.h"
#include "CsvTable.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <cstring>
#include <vector>

namespace vondrel {

// Collects the rows of a read into a CsvTable. Text and fields gather in reused buffers
// and move to the table a block at a time, packed to size, so reading allocates little
// and never grows memory it has already handed over.
class CsvTableBuilder
{
public:
    // Room for the text and fields that input of the given length can yield (at most
    // that many characters and one field per character, plus one); appendText and
    // finishField then need no checks. False when a block cannot grow that far.
    bool reserveFor(qsizetype inputLength);
    void appendText(const QChar *text, qsizetype size);
    // Where text goes next, for copying it there directly; appendCopied() then takes it.
    QChar *textEnd() const { return m_textData + m_textSize; }
    void appendCopied(qsizetype size) { m_textSize += size; }

    bool openFieldIsEmpty() const { return m_textSize == m_fieldStart; }
    int openRowFieldCount() const { return int(m_spanCount - m_rowStart); }
    // Trimming drops leading and trailing white space (C1 controls are text, not space).
    void finishField(bool trim);
    // Ends the open row and returns its field count.
    int finishRow();
    // Removes the row just finished (only that one) and returns its fields.
    QStringList takeLastRow();
    // Hands a full block over to the table; call between rows.
    void flushIfFull();

    // Keeps the finished blocks for another builder to take (appendRowsOf) rather than
    // making a table of them.
    void holdBlocks() { m_holdsBlocks = true; }
    // Adds the rows of a builder that holds its blocks after this one's; both between rows.
    void appendRowsOf(CsvTableBuilder &other);

    CsvTable takeTable();

private:
    static bool isBlank(QChar ch);
    void trimOpenField();
    void flush();

    CsvTable m_table;
    bool m_holdsBlocks = false;
    std::vector<CsvRowBlock> m_heldBlocks;
    // The buffers' sizes are their capacities; the counts below say what is used.
    QString m_text;
    QChar *m_textData = nullptr;
    std::vector<CsvRowBlock::Span> m_spans;
    std::vector<CsvRowBlock::RowSpan> m_rows;
    qsizetype m_textSize = 0;
    qsizetype m_fieldStart = 0;
    qsizetype m_spanCount = 0;
    qsizetype m_rowStart = 0;
    qsizetype m_rowTextStart = 0;
    qsizetype m_lastRowTextStart = 0;
};

inline void CsvTableBuilder::appendText(const QChar *text, qsizetype size)
{
    std::memcpy(m_textData + m_textSize, text, size_t(size) * sizeof(QChar));
    m_textSize += size;
}

inline bool CsvTableBuilder::isBlank(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80)
        return u == u' ' || (u >= u'\t' && u <= u'\r');
    return u > 0x9f && ch.isSpace();
}

inline void CsvTableBuilder::finishField(bool trim)
{
    if (trim && m_textSize > m_fieldStart &&
        (isBlank(m_textData[m_fieldStart]) || isBlank(m_textData[m_textSize - 1])))
        trimOpenField();
    CsvRowBlock::Span &span = m_spans[size_t(m_spanCount++)];
    const bool empty = m_textSize == m_fieldStart;
    span.offset = empty ? 0 : quint32(m_fieldStart);
    span.length = quint32(m_textSize - m_fieldStart);
    m_fieldStart = m_textSize;
}

} // namespace vondrel
