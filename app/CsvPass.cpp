#include "CsvPass.h"

#include "AppLog.h"
#include "ParallelFor.h"
#include "QxtCsvModel.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunSettings.h"

#include <algorithm>

namespace {

constexpr int copyColumn = -1;
constexpr int clearColumn = -2;
// Rows are read in blocks: one slice call instead of one model call per cell. On one thread
// a block is small enough to stay in the processor's cache while each of its cells is met
// twice; on several it is large enough to be worth a round of threads.
constexpr int cachedBlockRows = 1024;
constexpr int threadedBlockRows = 16384;

// The field at column, empty past the end of a short row. A reference, not a copy: threads
// reading neighbouring fields would otherwise contend for their shared reference counts.
const QString &fieldAt(const QStringList &fields, int column)
{
    static const QString none;
    return column < fields.size() ? fields.at(column) : none;
}

bool isBlank(const QString &text)
{
    return QStringView(text).trimmed().isEmpty();
}

} // namespace

CsvPass::CsvPass(const QxtCsvModel &input, QxtCsvModel &output)
    : m_input(input)
    , m_output(output)
{ }

void CsvPass::run(const RunSettings &settings, ResultCache &cache, int threads)
{
    m_dataRow = RowAddressing::forCsv(settings.hasTitle, settings.rowOffset).dataRow;
    m_inputEditable = settings.inputEditable;
    const int rows = m_input.rowCount();
    if (m_dataRow >= rows)
        return;
    planColumns(settings, cache);

    // Task 0 collects the cells that are not pseudonymised; the others register the
    // templated cells of their columns. The output is changed on this thread only.
    const int blockRows = threadCount(threads) == 1 ? cachedBlockRows : threadedBlockRows;
    // Kept from block to block with their capacity, so that no large free between blocks
    // makes the allocator gather up the small ones.
    QList<QStringList> inputRows;
    QList<QStringList> outputRows;
    for (int first = m_dataRow; first < rows; first += blockRows) {
        inputRows.clear();
        outputRows.clear();
        m_input.rowSlice(inputRows, first, blockRows);
        if (m_readOutputRows)
            m_output.rowSlice(outputRows, first, blockRows);
        parallelFor(
            qsizetype(m_tasks.size()) + 1, threads,
            [&](qsizetype begin, qsizetype end) {
                for (qsizetype task = begin; task < end; ++task) {
                    if (task == 0)
                        collectEdits(first, inputRows, outputRows);
                    else
                        registerCells(m_tasks[size_t(task - 1)], first, inputRows, cache);
                }
            },
            1);
        for (const Edit &edit : m_edits)
            m_output.setText(edit.row, edit.column, edit.text);
        m_edits.clear();
    }

    cache.resolvePending(threads);
    fillReplacements(cache);
    qCInfo(lcRun) << "CSV pass:" << rows - m_dataRow << "data rows";
}

void CsvPass::planColumns(const RunSettings &settings, ResultCache &cache)
{
    const int columns = m_input.columnCount();
    const qsizetype dataRows = m_input.rowCount() - m_dataRow;
    m_plan.assign(size_t(columns), copyColumn);
    std::vector<int> orderDependent;
    for (int column = 0; column < columns; ++column) {
        const QString templateText = settings.templates.value(column);
        if (settings.clearedColumns.contains(column)) {
            m_plan[size_t(column)] = clearColumn;
        } else if (!templateText.isEmpty()) {
            const int slot = cache.addColumn(column, templateText);
            m_plan[size_t(column)] = slot;
            if (m_entries.size() <= size_t(slot))
                m_entries.resize(size_t(slot) + 1);
            m_entries[size_t(slot)] = QList<qint32>(dataRows, -1);
            if (cache.dependsOnOrder(slot))
                orderDependent.push_back(column);
            else
                m_tasks.push_back({column});
        }
    }
    if (!orderDependent.empty())
        m_tasks.push_back(orderDependent);
    // The copy is read where a cell may differ from what it must become: in copied columns,
    // and at blank cells. With few copied columns a cell read on its own costs less than a
    // whole row of strings.
    const auto copied = std::count(m_plan.cbegin(), m_plan.cend(), copyColumn);
    m_readOutputRows = 2 * copied > columns;
    // Detached here: the tasks then write their own lists without touching shared state.
    for (QList<qint32> &list : m_entries)
        list.detach();
}

void CsvPass::registerCells(const std::vector<int> &columns, int firstRow,
                            const QList<QStringList> &inputRows, ResultCache &cache)
{
    // All hashes first, each lookup's memory asked for at once; the lookups then find it
    // at hand instead of waiting for it one after the other.
    std::vector<size_t> hashes(size_t(inputRows.size()) * columns.size());
    auto hash = hashes.begin();
    for (const QStringList &fields : inputRows) {
        for (const int column : columns) {
            *hash = ResultCache::hashOf(fieldAt(fields, column));
            cache.prefetch(m_plan[size_t(column)], *hash++);
        }
    }
    // Row by row, so that order-dependent columns meet new values in the run's order.
    hash = hashes.begin();
    for (qsizetype i = 0; i < inputRows.size(); ++i) {
        const int row = firstRow + int(i);
        for (const int column : columns) {
            const QString &text = fieldAt(inputRows.at(i), column);
            const size_t textHash = *hash++;
            if (!m_inputEditable && isBlank(text))
                continue;
            const int slot = m_plan[size_t(column)];
            qint32 entry = cache.find(slot, text, textHash);
            if (entry < 0)
                entry = cache.add(slot, text, textHash, row);
            // Each list is written by one task only, and was detached before the tasks began.
            m_entries[size_t(slot)].data()[row - m_dataRow] = entry;
        }
    }
}

void CsvPass::collectEdits(int firstRow, const QList<QStringList> &inputRows,
                           const QList<QStringList> &outputRows)
{
    const auto columns = int(m_plan.size());
    // The copy's cell, from the rows read with the input's or read on its own.
    const auto current = [&](qsizetype i, int column) {
        return m_readOutputRows ? fieldAt(outputRows.at(i), column)
                                : m_output.text(firstRow + int(i), column);
    };
    for (qsizetype i = 0; i < inputRows.size(); ++i) {
        const int row = firstRow + int(i);
        for (int column = 0; column < columns; ++column) {
            const QString &text = fieldAt(inputRows.at(i), column);
            const int action = m_plan[size_t(column)];
            // A blank cell stays blank. The copy may have been made from the file's bytes, so
            // it must follow the input where the input was edited to blank.
            const bool keepBlank = !m_inputEditable && isBlank(text);
            if (keepBlank || action == copyColumn) {
                if (current(i, column) != text)
                    m_edits.push_back({row, column, text});
            } else if (action == clearColumn) {
                // Text is emptied whatever the copy holds; an empty cell where the copy has
                // text.
                if (!text.isEmpty() || !current(i, column).isEmpty())
                    m_edits.push_back({row, column, QString()});
            }
        }
    }
}

void CsvPass::fillReplacements(const ResultCache &cache)
{
    const int rows = m_input.rowCount();
    const auto columns = int(m_plan.size());
    for (int row = m_dataRow; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int slot = m_plan[size_t(column)];
            if (slot < 0)
                continue;
            const qint32 entry = m_entries[size_t(slot)].at(row - m_dataRow);
            if (entry >= 0)
                m_output.setText(row, column, cache.text(slot, entry));
        }
    }
}
