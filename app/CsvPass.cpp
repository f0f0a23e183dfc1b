#include "CsvPass.h"

#include "AppLog.h"
#include "ParallelFor.h"
#include "QxtCsvModel.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunSettings.h"
#include "WorkPulse.h"

namespace {

// Rows registered per round of threads: enough to be worth a round, few enough that the
// window gets its pulse a few times a second.
constexpr int roundRows = 16384;
// Cells hashed ahead of their lookups: their index slots are asked for together, and are
// still at hand when the lookups come.
constexpr int lookAheadRows = 256;

bool isBlank(QStringView text)
{
    return text.trimmed().isEmpty();
}

} // namespace

CsvPass::CsvPass(const QxtCsvModel &input, QxtCsvModel &output)
    : m_input(input)
    , m_output(output)
{ }

bool CsvPass::run(const RunSettings &settings, ResultCache &cache, int threads)
{
    m_dataRow = RowAddressing::forCsv(settings.hasTitle, settings.rowOffset).dataRow;
    m_inputEditable = settings.inputEditable;
    const int rows = m_input.rowCount();
    if (m_dataRow >= rows)
        return true;
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
        vondrel::WorkPulse::pulse();
    }

    cache.resolvePending(threads);
    countUnread(cache);
    const bool written = writeResults(cache);
    qCInfo(lcRun) << "CSV pass:" << rows - m_dataRow << "data rows";
    return written;
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
    const vondrel::CsvTable &table = m_input.rows();
    const auto field = [&table](int row, int column) {
        return column < table.fieldCount(row) ? table.field(row, column) : QStringView();
    };
    std::vector<size_t> hashes;
    for (int first = firstRow; first < endRow; first += lookAheadRows) {
        const int end = qMin(endRow, first + lookAheadRows);
        // All hashes of a few rows first, each lookup's memory asked for at once.
        hashes.clear();
        for (int row = first; row < end; ++row) {
            for (const int column : columns) {
                const size_t hash = ResultCache::hashOf(field(row, column));
                cache.prefetch(m_slotOfColumn[size_t(column)], hash);
                hashes.push_back(hash);
            }
        }
        // Row by row, so that order-dependent columns meet new values in the run's order.
        auto hash = hashes.cbegin();
        for (int row = first; row < end; ++row) {
            for (const int column : columns) {
                const QStringView text = field(row, column);
                const size_t textHash = *hash++;
                if (!m_inputEditable && isBlank(text))
                    continue;
                const int slot = m_slotOfColumn[size_t(column)];
                qint32 entry = cache.find(slot, text, textHash);
                if (entry < 0)
                    entry = cache.add(slot, text, textHash, row);
                // Each list is written by one task only.
                m_entries[size_t(slot)][size_t(row - m_dataRow)] = entry;
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

bool CsvPass::writeResults(const ResultCache &cache)
{
    const vondrel::CsvTable &table = m_input.rows();
    return m_output.setFields(m_dataRow, m_changed, [&](int row, int index, QStringView &text) {
        const int column = m_changed[size_t(index)];
        const int slot = m_slotOf[size_t(index)];
        // A templated cell without an entry (a blank one where the input may not be edited)
        // stays as it is.
        const qint32 entry = slot < 0 ? -1 : m_entries[size_t(slot)][size_t(row - m_dataRow)];
        if (slot >= 0 && entry < 0)
            return false;
        const QStringView input =
            column < table.fieldCount(row) ? table.field(row, column) : QStringView();
        if (slot < 0) {
            // Emptied, except for a blank cell where the input may not be edited.
            text = QStringView();
            return !input.isEmpty() && (m_inputEditable || !isBlank(input));
        }
        text = cache.text(slot, entry);
        // A result equal to its input needs no text of its own in the copy.
        return text != input;
    });
}
