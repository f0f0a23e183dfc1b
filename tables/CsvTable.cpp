#include "CsvTable.h"

#include "TablesLog.h"

#include <algorithm>

namespace vondrel {

int CsvTable::fieldCount(int row) const
{
    int count = blockOf(row).fieldCount(int(m_rows[size_t(row)].row));
    for (const Overlay &overlay : m_overlays) {
        if (overlay.column >= count && overlay.entryAt(row) >= 0)
            count = overlay.column + 1;
    }
    return count;
}

QStringView CsvTable::field(int row, int column) const
{
    if (const Overlay *overlay = overlayOf(column)) {
        const qint32 entry = overlay->entryAt(row);
        if (entry >= 0) {
            // Empty fields read as null, as the rows' own do.
            const QStringView text = overlay->texts->text(entry);
            return text.isEmpty() ? QStringView() : text;
        }
    }
    const CsvRowBlock &block = blockOf(row);
    const int blockRow = int(m_rows[size_t(row)].row);
    // An overlaid field further right may make the row longer than its own fields.
    return column < block.fieldCount(blockRow) ? block.field(blockRow, column) : QStringView();
}

QStringView CsvTable::overlaidFieldOrNull(int row, int column) const
{
    return column < fieldCount(row) ? field(row, column) : QStringView();
}

QStringList CsvTable::fields(int row) const
{
    const int count = fieldCount(row);
    QStringList result;
    result.reserve(count);
    for (int column = 0; column < count; ++column)
        result.append(field(row, column).toString());
    return result;
}

void CsvTable::rowFields(int row, std::vector<QStringView> &fields) const
{
    const CsvRowBlock &block = blockOf(row);
    const int blockRow = int(m_rows[size_t(row)].row);
    const int own = block.fieldCount(blockRow);
    fields.resize(size_t(own));
    for (int column = 0; column < own; ++column)
        fields[size_t(column)] = block.field(blockRow, column);
    for (const Overlay &overlay : m_overlays) {
        const qint32 entry = overlay.entryAt(row);
        if (entry < 0)
            continue;
        if (size_t(overlay.column) >= fields.size())
            fields.resize(size_t(overlay.column) + 1);
        const QStringView text = overlay.texts->text(entry);
        fields[size_t(overlay.column)] = text.isEmpty() ? QStringView() : text;
    }
}

bool CsvTable::setField(int row, int column, QStringView text)
{
    for (Overlay &overlay : m_overlays) {
        if (overlay.column == column && overlay.entryAt(row) >= 0)
            overlay.entries[size_t(row - overlay.firstRow)] = -1;
    }
    return changedBlockOf(row).setField(int(m_rows[size_t(row)].row), column, text);
}

void CsvTable::overlayColumn(int column, int firstRow, std::vector<qint32> entries,
                             std::shared_ptr<const CsvColumnTexts> texts)
{
    m_overlays.erase(
        std::remove_if(m_overlays.begin(), m_overlays.end(),
                       [column](const Overlay &overlay) { return overlay.column == column; }),
        m_overlays.end());
    m_overlays.push_back({column, firstRow, std::move(entries), std::move(texts)});
}

void CsvTable::insertRows(int row, int count)
{
    settleOverlays();
    std::vector<RowRef> added;
    added.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const quint32 block = blockForNewRows();
        added.push_back({block, quint32(changedBlock(block).addRow())});
    }
    m_rows.insert(m_rows.begin() + row, added.begin(), added.end());
}

void CsvTable::removeRows(int row, int count)
{
    settleOverlays();
    const auto first = m_rows.begin() + row;
    const auto last = first + count;
    for (auto ref = first; ref != last; ++ref) {
        CsvRowBlock &block = changedBlock(ref->block);
        block.releaseRow(int(ref->row));
        if (block.liveRowCount() == 0)
            m_blocks[ref->block] = std::make_shared<CsvRowBlock>();
    }
    m_rows.erase(first, last);
}

void CsvTable::insertColumns(int column, int count)
{
    settleOverlays();
    for (quint32 block = 0; block < m_blocks.size(); ++block)
        changedBlock(block).insertFields(column, count);
}

void CsvTable::removeColumns(int column, int count)
{
    settleOverlays();
    for (quint32 block = 0; block < m_blocks.size(); ++block)
        changedBlock(block).removeFields(column, count);
}

void CsvTable::appendBlock(CsvRowBlock block)
{
    const auto index = quint32(m_blocks.size());
    const int rows = block.rowCount();
    m_blocks.push_back(std::make_shared<CsvRowBlock>(std::move(block)));
    for (int row = 0; row < rows; ++row)
        m_rows.push_back({index, quint32(row)});
}

void CsvTable::squeeze()
{
    m_blocks.shrink_to_fit();
    m_rows.shrink_to_fit();
}

CsvRowBlock &CsvTable::changedBlock(quint32 block)
{
    std::shared_ptr<CsvRowBlock> &shared = m_blocks[block];
    if (shared.use_count() > 1)
        shared = std::make_shared<CsvRowBlock>(*shared);
    return *shared;
}

quint32 CsvTable::blockForNewRows()
{
    if (m_blocks.empty() || m_blocks.back()->isFull())
        m_blocks.push_back(std::make_shared<CsvRowBlock>());
    return quint32(m_blocks.size() - 1);
}

const CsvTable::Overlay *CsvTable::overlayOf(int column) const
{
    for (const Overlay &overlay : m_overlays) {
        if (overlay.column == column)
            return &overlay;
    }
    return nullptr;
}

void CsvTable::settleOverlays()
{
    // Taken out first: the rows are then read and written without them.
    const std::vector<Overlay> overlays = std::move(m_overlays);
    m_overlays.clear();
    std::vector<int> blockRows;
    std::vector<QStringView> texts;
    for (const Overlay &overlay : overlays) {
        const std::vector<int> columns {overlay.column};
        // Block by block, as long as the rows follow each other in a block.
        for (int row = qMax(0, overlay.firstRow); row < rowCount();) {
            const quint32 block = m_rows[size_t(row)].block;
            blockRows.clear();
            texts.clear();
            for (; row < rowCount() && m_rows[size_t(row)].block == block; ++row) {
                const qint32 entry = overlay.entryAt(row);
                if (entry < 0)
                    continue;
                const QStringView text = overlay.texts->text(entry);
                blockRows.push_back(int(m_rows[size_t(row)].row));
                texts.push_back(text.isNull() ? QStringView(u"") : text);
            }
            // Only a text near the size limit of a whole block could be refused.
            if (!blockRows.empty() && !changedBlock(block).setFields(blockRows, columns, texts))
                qCWarning(lcTables) << "An overlaid text does not fit into its rows";
        }
    }
}

} // namespace vondrel
