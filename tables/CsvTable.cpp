#include "CsvTable.h"

namespace vondrel {

int CsvTable::fieldCount(int row) const
{
    return blockOf(row).fieldCount(int(m_rows[size_t(row)].row));
}

QStringView CsvTable::field(int row, int column) const
{
    return blockOf(row).field(int(m_rows[size_t(row)].row), column);
}

QStringList CsvTable::fields(int row) const
{
    return blockOf(row).fields(int(m_rows[size_t(row)].row));
}

bool CsvTable::setField(int row, int column, QStringView text)
{
    return blockOf(row).setField(int(m_rows[size_t(row)].row), column, text);
}

bool CsvTable::setFields(int firstRow, const std::vector<int> &columns, const FieldSource &source)
{
    std::vector<int> blockRows;
    std::vector<QStringView> texts;
    // Rows go block by block as long as they follow each other in a block, which is how a
    // table read in lies; after inserted or removed rows the runs are shorter.
    for (int row = qMax(0, firstRow); row < rowCount();) {
        const quint32 block = m_rows[size_t(row)].block;
        blockRows.clear();
        texts.clear();
        for (; row < rowCount() && m_rows[size_t(row)].block == block; ++row) {
            blockRows.push_back(int(m_rows[size_t(row)].row));
            for (size_t index = 0; index < columns.size(); ++index) {
                QStringView text;
                texts.push_back(source(row, int(index), text)
                                    ? (text.isNull() ? QStringView(u"") : text)
                                    : QStringView());
            }
        }
        if (!m_blocks[block].setFields(blockRows, columns, texts))
            return false;
    }
    return true;
}

void CsvTable::insertRows(int row, int count)
{
    std::vector<RowRef> added;
    added.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const quint32 block = blockForNewRows();
        added.push_back({block, quint32(m_blocks[block].addRow())});
    }
    m_rows.insert(m_rows.begin() + row, added.begin(), added.end());
}

void CsvTable::removeRows(int row, int count)
{
    const auto first = m_rows.begin() + row;
    const auto last = first + count;
    for (auto ref = first; ref != last; ++ref) {
        CsvRowBlock &block = m_blocks[ref->block];
        block.releaseRow(int(ref->row));
        if (block.liveRowCount() == 0)
            block = CsvRowBlock();
    }
    m_rows.erase(first, last);
}

void CsvTable::insertColumns(int column, int count)
{
    for (CsvRowBlock &block : m_blocks)
        block.insertFields(column, count);
}

void CsvTable::removeColumns(int column, int count)
{
    for (CsvRowBlock &block : m_blocks)
        block.removeFields(column, count);
}

void CsvTable::appendBlock(CsvRowBlock block)
{
    const auto index = quint32(m_blocks.size());
    const int rows = block.rowCount();
    m_blocks.push_back(std::move(block));
    for (int row = 0; row < rows; ++row)
        m_rows.push_back({index, quint32(row)});
}

void CsvTable::squeeze()
{
    m_blocks.shrink_to_fit();
    m_rows.shrink_to_fit();
}

quint32 CsvTable::blockForNewRows()
{
    if (m_blocks.empty() || m_blocks.back().isFull())
        m_blocks.emplace_back();
    return quint32(m_blocks.size() - 1);
}

} // namespace vondrel
