#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace vondrel {

// A run of table rows whose fields share storage. The text read from a file lies packed in
// one buffer and every field is a span of it, so a million rows cost no string per field;
// text set later goes to a second buffer. Rows are numbered within the block and may differ
// in length. Space left behind by edits and removals is reclaimed once it outweighs the rest.
class CsvRowBlock
{
public:
    // A field's place: offset and length in the text, or in the edits when the length
    // carries the edited bit. Empty fields are {0, 0}.
    struct Span
    {
        quint32 offset = 0;
        quint32 length = 0;
    };
    // A row's fields: spans first to first + count - 1.
    struct RowSpan
    {
        quint32 first = 0;
        quint32 count = 0;
    };

    // The most text a block holds, in characters; a single field is limited to the same.
    static constexpr qsizetype maxText = 0x7fffffff;
    // A block is full at about 128 KB of text: large enough that its bookkeeping vanishes,
    // small enough that reclaiming space in it after edits is quick.
    static constexpr qsizetype fullText = 64 * 1024;
    static constexpr int fullRows = 4096;

    CsvRowBlock() = default;
    // A block of rows read in: spans point into text, rows into spans.
    CsvRowBlock(QString text, std::vector<Span> spans, std::vector<RowSpan> rows);

    // Row slots, released ones included (their numbers are not reused).
    int rowCount() const { return int(m_rows.size()); }
    int liveRowCount() const { return m_liveRows; }
    qsizetype textSize() const { return m_text.size() + m_edits.size(); }
    bool isFull() const { return textSize() >= fullText || rowCount() >= fullRows; }

    int fieldCount(int row) const { return int(m_rows[size_t(row)].count); }
    // The field's text; valid until the block is changed. column < fieldCount(row).
    QStringView field(int row, int column) const;

    // A new row without fields; returns its number.
    int addRow();
    // Sets a field, padding the row with empty fields up to it. False only when the text
    // is longer than a block can hold.
    bool setField(int row, int column, QStringView text);
    // Sets many fields at once: row rows[i] of the block gets texts[i * columns.size() + j]
    // in column columns[j], a null entry leaving the field as it is (an empty text is a
    // non-null view of length 0). The texts go into the edits in one piece, without the
    // per-field bookkeeping of setField; the text they replace stays (it may be shared with
    // another block) until the block is next compacted. False, with nothing changed, when
    // the texts do not fit into a block.
    bool setFields(const std::vector<int> &rows, const std::vector<int> &columns,
                   const std::vector<QStringView> &texts);
    // The row's fields are dropped; its number stays taken.
    void releaseRow(int row);
    // In every row: pads to column + 1 fields, then inserts count empty fields at column.
    void insertFields(int column, int count);
    // In every row: removes the fields from column to column + count - 1 that exist.
    void removeFields(int column, int count);

private:
    static constexpr quint32 editedBit = 0x80000000u;
    static constexpr quint32 releasedRow = 0xffffffffu;

    static qsizetype lengthOf(Span span) { return span.length & ~editedBit; }
    static bool isReleased(const RowSpan &row) { return row.first == releasedRow; }
    const QChar *textOf(Span span) const
    {
        return ((span.length & editedBit) ? m_edits.constData() : m_text.constData()) + span.offset;
    }
    QChar *mutableTextOf(Span span);
    void growRow(RowSpan &row, quint32 count);
    void compactIfWorthIt();
    // Packs the text and spans of the live rows anew, edits included.
    void compact();
    // Lays out the spans anew, row by row: appendRow(row, spans) appends a row's spans.
    template<typename AppendRow>
    void rebuildSpans(size_t added, AppendRow appendRow);

    QString m_text;
    QString m_edits;
    std::vector<Span> m_spans;
    std::vector<RowSpan> m_rows;
    qsizetype m_garbageText = 0;
    qsizetype m_garbageSpans = 0;
    int m_liveRows = 0;
};

inline QStringView CsvRowBlock::field(int row, int column) const
{
    const Span span = m_spans[m_rows[size_t(row)].first + size_t(column)];
    // An empty field reads as a null string, as it always has.
    const qsizetype length = lengthOf(span);
    return length ? QStringView(textOf(span), length) : QStringView();
}

} // namespace vondrel
