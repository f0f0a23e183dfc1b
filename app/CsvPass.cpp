#include "CsvPass.h"

#include "AppLog.h"
#include "QxtCsvModel.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunSettings.h"

#include <vector>

namespace {

constexpr int copyColumn = -1;
constexpr int clearColumn = -2;
// Rows are read in blocks: one slice call instead of one model call per cell.
constexpr int blockRows = 4096;

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
    const int dataRow = RowAddressing::forCsv(settings.hasTitle, settings.rowOffset).dataRow;
    const int rows = m_input.rowCount();
    const int columns = m_input.columnCount();
    if (dataRow >= rows)
        return;

    // Per column: copy, clear, or the cache slot of its template; per slot and data row the
    // cache entry of the cell (-1: left as it is).
    std::vector<int> plan(size_t(columns), copyColumn);
    std::vector<QList<qint32>> entries;
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
        }
    }

    for (int first = dataRow; first < rows; first += blockRows) {
        QList<QStringList> inputRows;
        QList<QStringList> outputRows;
        m_input.rowSlice(inputRows, first, blockRows);
        m_output.rowSlice(outputRows, first, blockRows);
        for (qsizetype i = 0; i < inputRows.size(); ++i) {
            const int row = first + int(i);
            const QStringList &inputFields = inputRows.at(i);
            const QStringList &outputFields = outputRows.at(i);
            for (int column = 0; column < columns; ++column) {
                const QString text = inputFields.value(column);
                const int action = plan[size_t(column)];
                // A blank cell stays blank. The copy may have been made from the file's bytes,
                // so it must follow the input where the input was edited to blank.
                const bool keepBlank = !settings.inputEditable && isBlank(text);
                if (keepBlank || action == copyColumn) {
                    if (outputFields.value(column) != text)
                        m_output.setText(row, column, text);
                } else if (action == clearColumn) {
                    if (!outputFields.value(column).isEmpty())
                        m_output.setText(row, column, QString());
                } else {
                    qint32 entry = cache.find(action, text);
                    if (entry < 0)
                        entry = cache.add(action, text, row);
                    entries[size_t(action)][row - dataRow] = entry;
                }
            }
        }
    }

    cache.resolvePending(threads);

    for (int row = dataRow; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int slot = plan[size_t(column)];
            if (slot < 0)
                continue;
            const qint32 entry = entries[size_t(slot)].at(row - dataRow);
            if (entry >= 0)
                m_output.setText(row, column, cache.text(slot, entry));
        }
    }
    qCInfo(lcRun) << "CSV pass:" << rows - dataRow << "data rows";
}
