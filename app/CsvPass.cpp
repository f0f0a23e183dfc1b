#include "CsvPass.h"

#include "AppLog.h"
#include "ParallelFor.h"
#include "QxtCsvModel.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunSettings.h"

#include <vector>

namespace {

constexpr int copyColumn = -1;
constexpr int clearColumn = -2;
// Rows are read in blocks: one slice call instead of one model call per cell, and one round
// of threads per block.
constexpr int blockRows = 16384;

bool isBlank(const QString &text)
{
    return QStringView(text).trimmed().isEmpty();
}

// A cell of the output that must take a new text.
struct Edit
{
    int row;
    int column;
    QString text;
};

} // namespace

CsvPass::CsvPass(const QxtCsvModel &input, QxtCsvModel &output)
    : m_input(input)
    , m_output(output)
{ }

void CsvPass::run(const RunSettings &settings, ResultCache &cache, int threads)
{
    const int dataRow = RowAddressing::forCsv(settings.hasTitle, settings.rowOffset).dataRow;
    const int rows = m_input.rowCount();
    const int columns = m_input.columnCount();
    if (dataRow >= rows)
        return;

    // Per column: copy, clear, or the cache slot of its template; per slot and data row the
    // cache entry of the cell (-1: left as it is).
    std::vector<int> plan(size_t(columns), copyColumn);
    std::vector<QList<qint32>> entries;
    // The columns each task registers: a text-only column alone, the order-dependent ones
    // together so that they meet new values row by row, as the run reads them.
    std::vector<std::vector<int>> tasks;
    std::vector<int> orderDependent;
    for (int column = 0; column < columns; ++column) {
        const QString templateText = settings.templates.value(column);
        if (settings.clearedColumns.contains(column)) {
            plan[size_t(column)] = clearColumn;
        } else if (!templateText.isEmpty()) {
            const int slot = cache.addColumn(column, templateText);
            plan[size_t(column)] = slot;
            if (entries.size() <= size_t(slot))
                entries.resize(size_t(slot) + 1);
            entries[size_t(slot)] = QList<qint32>(rows - dataRow, -1);
            if (cache.dependsOnOrder(slot))
                orderDependent.push_back(column);
            else
                tasks.push_back({column});
        }
    }
    if (!orderDependent.empty())
        tasks.push_back(orderDependent);
    // Written by one task each, so taken before the threads start.
    std::vector<qint32 *> cells;
    for (QList<qint32> &list : entries)
        cells.push_back(list.data());

    const auto registerCells = [&](const std::vector<int> &taskColumns, int first,
                                   const QList<QStringList> &inputRows) {
        for (qsizetype i = 0; i < inputRows.size(); ++i) {
            const int row = first + int(i);
            for (const int column : taskColumns) {
                const QString text = inputRows.at(i).value(column);
                if (!settings.inputEditable && isBlank(text))
                    continue;
                const int slot = plan[size_t(column)];
                qint32 entry = cache.find(slot, text);
                if (entry < 0)
                    entry = cache.add(slot, text, row);
                cells[size_t(slot)][row - dataRow] = entry;
            }
        }
    };
    // The cells not pseudonymised: collected by a task, applied on this thread.
    std::vector<Edit> edits;
    const auto collectEdits = [&](int first, const QList<QStringList> &inputRows,
                                  const QList<QStringList> &outputRows) {
        for (qsizetype i = 0; i < inputRows.size(); ++i) {
            for (int column = 0; column < columns; ++column) {
                const QString text = inputRows.at(i).value(column);
                const QString current = outputRows.at(i).value(column);
                const int action = plan[size_t(column)];
                // A blank cell stays blank. The copy may have been made from the file's
                // bytes, so it must follow the input where the input was edited to blank.
                const bool keepBlank = !settings.inputEditable && isBlank(text);
                if ((keepBlank || action == copyColumn) && current != text)
                    edits.push_back({first + int(i), column, text});
                else if (!keepBlank && action == clearColumn && !current.isEmpty())
                    edits.push_back({first + int(i), column, QString()});
            }
        }
    };

    for (int first = dataRow; first < rows; first += blockRows) {
        QList<QStringList> inputRows;
        QList<QStringList> outputRows;
        m_input.rowSlice(inputRows, first, blockRows);
        m_output.rowSlice(outputRows, first, blockRows);
        parallelFor(
            qsizetype(tasks.size()) + 1, threads,
            [&](qsizetype begin, qsizetype end) {
                for (qsizetype task = begin; task < end; ++task) {
                    if (task == 0)
                        collectEdits(first, inputRows, outputRows);
                    else
                        registerCells(tasks[size_t(task - 1)], first, inputRows);
                }
            },
            1);
        for (const Edit &edit : edits)
            m_output.setText(edit.row, edit.column, edit.text);
        edits.clear();
    }

    cache.resolvePending(threads);

    for (int row = dataRow; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int slot = plan[size_t(column)];
            if (slot < 0)
                continue;
            const qint32 entry = cells[size_t(slot)][row - dataRow];
            if (entry >= 0)
                m_output.setText(row, column, cache.text(slot, entry));
        }
    }
    qCInfo(lcRun) << "CSV pass:" << rows - dataRow << "data rows";
}
