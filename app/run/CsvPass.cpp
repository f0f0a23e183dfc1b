#include "CsvPass.h"

#include "AppLog.h"
#include "ParallelFor.h"
#include "PooledColumnTexts.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunSettings.h"

#include <tables/CsvModelRows.h>
#include <tables/QxtCsvModel.h>
#include <tables/WorkPulse.h>

#include <algorithm>

namespace {

// Rows registered per round of threads: enough to be worth a round, few enough that the
// window gets its pulse a few times a second.
constexpr int roundRows = 16384;
// Cells hashed ahead of their lookups: their index slots are asked for together, and are
// still at hand when the lookups come.
constexpr int lookAheadRows = 256;

// Whether trimming leaves nothing; most cells answer at their first character.
bool isBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
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

    for (int first = m_dataRow; first < rows; first += roundRows) {
        const int end = qMin(rows, first + roundRows);
        parallelFor(
            qsizetype(m_tasks.size()), threads,
            [&](qsizetype begin, qsizetype last) {
                for (qsizetype task = begin; task < last; ++task)
                    registerCells(m_tasks[size_t(task)], first, end, cache);
            },
            1);
        // The values of order-dependent columns met so far get their results while the next
        // rounds are registered.
        cache.startInOrderResults(threads);
        vondrel::WorkPulse::pulse();
    }

    cache.resolvePending(threads);
    countUnread(cache);
    writeResults(cache);
    qCInfo(lcRun) << "CSV pass:" << rows - m_dataRow << "data rows";
}

void CsvPass::planColumns(const RunSettings &settings, ResultCache &cache)
{
    const int columns = m_input.columnCount();
    const auto dataRows = size_t(m_input.rowCount() - m_dataRow);
    m_slotOfColumn.assign(size_t(columns), -1);
    std::vector<int> orderDependent;
    for (int column = 0; column < columns; ++column) {
        const QString templateText = settings.templates.value(column);
        if (settings.clearedColumns.contains(column)) {
            m_changed.push_back(column);
            m_slotOf.push_back(-1);
        } else if (!templateText.isEmpty()) {
            const int slot = cache.addColumn(column, templateText);
            m_changed.push_back(column);
            m_slotOf.push_back(slot);
            m_slotOfColumn[size_t(column)] = slot;
            if (m_entries.size() <= size_t(slot))
                m_entries.resize(size_t(slot) + 1);
            m_entries[size_t(slot)].assign(dataRows, -1);
            if (cache.dependsOnOrder(slot))
                orderDependent.push_back(column);
            else
                m_tasks.push_back({column});
        }
    }
    if (!orderDependent.empty())
        m_tasks.push_back(orderDependent);
}

void CsvPass::registerCells(const std::vector<int> &columns, int firstRow, int endRow,
                            ResultCache &cache)
{
    const vondrel::CsvTable &table = vondrel::CsvModelRows::of(m_input);
    std::vector<QStringView> texts;
    std::vector<size_t> hashes;
    for (int first = firstRow; first < endRow; first += lookAheadRows) {
        const int end = qMin(endRow, first + lookAheadRows);
        // All texts and hashes of a few rows first, each lookup's memory asked for at once.
        texts.clear();
        hashes.clear();
        for (int at = first; at < end; ++at) {
            for (const int column : columns) {
                const QStringView text = table.fieldOrNull(at, column);
                const size_t hash = ResultCache::hashOf(text);
                cache.prefetch(m_slotOfColumn[size_t(column)], hash);
                texts.push_back(text);
                hashes.push_back(hash);
            }
        }
        // Row by row, so that order-dependent columns meet new values in the run's order.
        size_t cell = 0;
        for (int at = first; at < end; ++at) {
            for (const int column : columns) {
                const QStringView text = texts[cell];
                const size_t textHash = hashes[cell++];
                if (!m_inputEditable && isBlank(text))
                    continue;
                const int slot = m_slotOfColumn[size_t(column)];
                qint32 entry = cache.find(slot, text, textHash);
                if (entry < 0)
                    entry = cache.add(slot, text, textHash, at);
                // Each list is written by one task only.
                m_entries[size_t(slot)][size_t(at - m_dataRow)] = entry;
            }
        }
    }
}

void CsvPass::countUnread(const ResultCache &cache)
{
    for (size_t index = 0; index < m_changed.size(); ++index) {
        const int slot = m_slotOf[index];
        if (slot < 0)
            continue;
        std::vector<char> unread;
        bool any = false;
        qsizetype count = 0;
        for (const qint32 entry : m_entries[size_t(slot)]) {
            if (entry < 0)
                continue;
            if (size_t(entry) >= unread.size()) {
                // Entries are met in ascending order; each is judged once.
                for (auto next = qint32(unread.size()); next <= entry; ++next) {
                    const bool isUnread = cache.isUnread(slot, next);
                    unread.push_back(isUnread);
                    any = any || isUnread;
                }
            }
            count += unread[size_t(entry)];
        }
        if (any && count > 0)
            m_unread.insert(m_changed[index], count);
    }
}

void CsvPass::writeResults(const ResultCache &cache)
{
    // The copy shows the results where the cells stand, out of the cache's texts.
    for (size_t index = 0; index < m_changed.size(); ++index) {
        const int slot = m_slotOf[index];
        if (slot >= 0) {
            vondrel::CsvModelRows::overlayColumn(
                m_output, m_changed[index], m_dataRow, std::move(m_entries[size_t(slot)]),
                std::make_shared<PooledColumnTexts>(cache.results(slot)));
        }
    }
    // Cleared cells show the one empty text, except blank ones where the input may not be
    // edited.
    const vondrel::CsvTable &table = vondrel::CsvModelRows::of(m_input);
    TextPool empty;
    empty.append(QStringView());
    const auto emptyText = std::make_shared<PooledColumnTexts>(empty);
    for (size_t index = 0; index < m_changed.size(); ++index) {
        if (m_slotOf[index] >= 0)
            continue;
        const int column = m_changed[index];
        std::vector<qint32> entries(size_t(m_input.rowCount() - m_dataRow), -1);
        for (int row = m_dataRow; row < m_input.rowCount(); ++row) {
            const QStringView text = table.fieldOrNull(row, column);
            if (!text.isEmpty() && (m_inputEditable || !isBlank(text)))
                entries[size_t(row - m_dataRow)] = 0;
        }
        vondrel::CsvModelRows::overlayColumn(m_output, column, m_dataRow, std::move(entries),
                                             emptyText);
    }
}
